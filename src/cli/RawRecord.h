#pragma once

#include "model/Guid.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The parts of a serialised record that the record classes read past without keeping: the
// stored image (folders show a fixed one), the reserved words, the custom-field text as
// stored and the words of the class parts.
struct RAWRECORD {
    CLSID clsid{};
    std::string name;
    std::string comments;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
    std::uint32_t image = 0;
    std::uint32_t reserved[5] = {};
    std::string customFieldsText;
    // Folders: the one word of their class part.
    std::uint32_t folderWord = 0;
    // Credit cards: the twelve stored texts in their stored order.
    std::vector<std::string> cardTexts;
    // File records: the reserved words after the file times.
    std::uint32_t fileReserved[5] = {};
};

// Index of the stored text of country and bank information in RAWRECORD::cardTexts.
inline constexpr std::size_t kCardJoinedText = 10;

// Reads bytes as a serialised record; false when they end before the common part does.
bool ParseRawRecord(const std::uint8_t* bytes, std::size_t length, RAWRECORD& record);
