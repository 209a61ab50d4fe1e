#pragma once

#include "model/Guid.h"

#include <ostream>
#include <string>
#include <vector>

class CCliVault;
class CJsonWriter;
class ICommonProperties;
class ICreditCardProperties;
class IPasswordProperties;
class IFileProperties;

// How records look on the command line: their class names, the fields of each record type
// under the names the options and the JSON use, and the "show" views.

// "CPasswordItem" and the like; "unknown" for a class the factory does not make.
std::string ClassName(const CLSID& clsid);
std::string ClassName(ICommonProperties& record);

// One field of a record type.
struct RECORDFIELD {
    const char* key;   // option and JSON name ("login", "security-code")
    const char* label; // heading of the text view
    std::string value; // the stored bytes
    bool secret;       // hidden unless asked for
};

// The type-specific fields of a record, in the order the editors show them (none for notes
// and folders; file records list their file name and extension).
std::vector<RECORDFIELD> TypeFields(ICommonProperties& record);

// Writes every field of node id, custom fields included; secrets are hidden unless reveal.
void PrintRecord(CCliVault& vault, int id, ICommonProperties& record, bool reveal,
                 std::ostream& out);
void WriteRecordJson(CCliVault& vault, int id, ICommonProperties& record, bool reveal,
                     CJsonWriter& json);

// The mask that stands for a hidden value.
inline constexpr const char* kHiddenValue = "********";
