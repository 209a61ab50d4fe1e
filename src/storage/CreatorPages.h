#pragma once

#include <string>
#include <vector>

// The checks of the creation wizard's pages, apart from their windows: each shows its
// messages and tells the page what to do with its controls.

// String-table ids of the wizard's texts.
enum : unsigned {
    IDS_CREATE_SAVE_FILTER = 61226,
    IDS_CREATE_OPEN_TITLE = 61227,
    IDS_CREATE_PASSWORD_MISMATCH = 61228,
    IDS_CREATE_SAVE_TITLE = 61229,
    IDS_CREATE_EMPTY_PASSWORD = 61230,
    IDS_CREATE_NO_USERNAME = 61231,
    IDS_CREATE_NO_FILE = 61232,
    IDS_ROOT_FOLDER_NAME = 61233,
    IDS_DELETED_FOLDER_NAME = 61248,
    IDS_CREATE_SUCCESS_TITLE = 61329,
    IDS_CREATE_SUCCESS_TEXT = 61330,
    IDS_CREATE_ERROR_TITLE = 61331,
    IDS_CREATE_ERROR_TEXT = 61332,
    IDS_CREATE_BAD_FILENAME = 61423,
    IDS_CREATE_FILE_EXISTS = 61424,
    IDS_CREATE_DEFAULT_EXT = 61425,
};

// Page 2 ("Step 1 of 3 - Specify File Name"), Next.
struct CFileNamePageCheck {
    bool moveOn = false;
    // Select the whole path text and put the focus in the path box.
    bool selectPath = false;
    // The path as the box should now hold it (".trx" appended when it had no extension).
    std::string path;
};
CFileNamePageCheck CheckFileNamePage(const std::string& typedPath);

// Whether the last component of path has an extension (a dot after its first character
// position, as the platform's path-extension call sees it).
bool HasExtension(const std::string& path);

// Page 3 ("Step 2 of 3 - Enter Username and Password"), Next.
struct CPasswordPageCheck {
    enum FOCUS { kKeepFocus, kFocusUsername, kFocusPassword };
    bool moveOn = false;
    // Empty both password boxes.
    bool clearPasswords = false;
    FOCUS focus = kKeepFocus;
};
CPasswordPageCheck CheckPasswordPage(const std::string& username, const std::string& password,
                                     const std::string& retyped);

// Page 5 ("Finish"), on becoming active: creates the data file from what the pages collected
// (the password only as its record key text; the categories only when createCategories is
// set). On success the path becomes the setting App_ConnectionString.
struct CFinishPageResult {
    bool created = false;
    unsigned titleId = 0; // "Success..." or "Error..."
    unsigned textId = 0;
};
CFinishPageResult RunFinishPage(const std::string& path, const std::string& userName,
                                const std::string& password, const std::string& hint,
                                bool createCategories, const std::vector<unsigned>& categories);

// Page 4: the default categories as string-table ids, in display order.
const std::vector<unsigned>& DefaultCategories();
// The default categories whose string is not empty (the ones the tree shows).
std::vector<unsigned> VisibleDefaultCategories();
