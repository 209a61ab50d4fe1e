#include "storage/CreatorPages.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "security/MD5Checksum.h"
#include "security/SecureZero.h"
#include "storage/CreatorSQLite.h"
#include "storage/FileNameCheck.h"

#include <sys/stat.h>

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

int Warn(unsigned id, unsigned buttons = MB_OK, const std::string& arg = {}) {
    return KivMessageBox(FormatString(LoadString(id), arg), buttons | MB_ICONEXCLAMATION);
}

} // namespace

bool HasExtension(const std::string& path) {
    std::string::size_type sep = path.find_last_of("\\/");
    std::string::size_type nameStart = sep == std::string::npos ? 0 : sep + 1;
    std::string::size_type dot = path.find_last_of('.');
    // A name made only of its leading dot has no extension either.
    return dot != std::string::npos && dot > nameStart;
}

CFileNamePageCheck CheckFileNamePage(const std::string& typedPath) {
    CFileNamePageCheck check;
    check.path = typedPath;
    if (check.path.empty()) {
        Warn(IDS_CREATE_NO_FILE);
        return check;
    }
    if (!HasExtension(check.path))
        check.path += LoadString(IDS_CREATE_DEFAULT_EXT);
    if (!IsValidFileName(check.path)) {
        Warn(IDS_CREATE_BAD_FILENAME);
        check.selectPath = true;
        return check;
    }
    if (Exists(check.path) && Warn(IDS_CREATE_FILE_EXISTS, MB_YESNOCANCEL, check.path) != IDYES) {
        check.selectPath = true;
        return check;
    }
    check.moveOn = true;
    return check;
}

CPasswordPageCheck CheckPasswordPage(const std::string& username, const std::string& password,
                                     const std::string& retyped) {
    CPasswordPageCheck check;
    if (username.empty()) {
        Warn(IDS_CREATE_NO_USERNAME);
        check.clearPasswords = true;
        check.focus = CPasswordPageCheck::kFocusUsername;
        return check;
    }
    if (password != retyped) {
        Warn(IDS_CREATE_PASSWORD_MISMATCH);
        check.clearPasswords = true;
        check.focus = CPasswordPageCheck::kFocusPassword;
        return check;
    }
    if (password.empty() && Warn(IDS_CREATE_EMPTY_PASSWORD, MB_YESNO) == IDYES) {
        check.clearPasswords = true;
        check.focus = CPasswordPageCheck::kFocusPassword;
        return check;
    }
    check.moveOn = true;
    return check;
}

CFinishPageResult RunFinishPage(const std::string& path, const std::string& userName,
                                const std::string& password, const std::string& hint,
                                bool createCategories, const std::vector<unsigned>& categories) {
    CCreatorSQLite creator;
    creator.SetFileName(path);
    creator.SetUserName(userName);
    std::string key = CMD5Checksum::GetMD5(password);
    creator.SetKey(key);
    SecureZero(key);
    creator.SetHint(hint);
    creator.SetCreateCategories(createCategories);
    if (createCategories)
        creator.SetCategories(categories);

    CFinishPageResult result;
    result.created = creator.Create() == 1;
    if (result.created) {
        TresorixSettings().App_ConnectionString = path;
        result.titleId = IDS_CREATE_SUCCESS_TITLE;
        result.textId = IDS_CREATE_SUCCESS_TEXT;
    } else {
        result.titleId = IDS_CREATE_ERROR_TITLE;
        result.textId = IDS_CREATE_ERROR_TEXT;
    }
    return result;
}

const std::vector<unsigned>& DefaultCategories() {
    static const std::vector<unsigned> categories = {61235, 61236, 61237, 61238, 61239,
                                                     61240, 61241, 61242, 61243, 61249,
                                                     61250, 61251, 61252, 61253};
    return categories;
}

std::vector<unsigned> VisibleDefaultCategories() {
    std::vector<unsigned> visible;
    for (unsigned id : DefaultCategories()) {
        if (!LoadString(id).empty())
            visible.push_back(id);
    }
    return visible;
}
