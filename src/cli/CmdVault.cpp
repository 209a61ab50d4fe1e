#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliText.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "security/LoginText.h"
#include "security/PasswordChange.h"
#include "security/SecureZero.h"
#include "storage/Compaction.h"
#include "storage/CreatorPages.h"
#include "storage/CreatorSQLite.h"
#include "storage/Field.h"
#include "storage/KivBackup.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <filesystem>

namespace {

// The hint stored in the header row of the file at path; false after a database failure
// (already shown).
bool ReadHint(const std::string& path, std::string& hint) {
    try {
        CSQLiteDatabase db;
        db.Open(path);
        CursorPtr cursor(db.Query(tx::sql::kSelectSecretWord));
        CRow* raw = nullptr;
        if (!cursor || cursor->Fetch(raw) != 0 || !raw)
            return false;
        RowPtr row(raw);
        FieldPtr field(row->GetField(0));
        const char* text = field ? field->AsString() : nullptr;
        hint = text ? text : "";
        return true;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    return false;
}

bool IsDataFile(CCliContext& context, const std::string& path, int& code) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error))
        return true;
    code = context.Fail(kExitDataError, path + ": no such data file");
    return false;
}

int RunCreate(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(1, 1, code))
        return code;
    const CCliArgs& args = context.Args();
    if (!args.Has("user"))
        return context.Usage("a username is needed (-u USER)");
    const std::string username = args.Get("user");
    if (username.empty())
        return context.Usage("the username may not be empty");

    // The wizard's own checks: an extension is added when there is none, and an existing
    // file is only replaced (moved aside) when asked to.
    const bool replace = args.Has("replace");
    context.Sink().SetQuestionAnswer(replace ? IDYES : IDNO);
    const CFileNamePageCheck fileCheck = CheckFileNamePage(context.Args().Positionals()[0]);
    if (!fileCheck.moveOn) {
        std::error_code error;
        if (std::filesystem::exists(fileCheck.path, error) && !replace)
            return context.Fail(kExitDataError,
                                fileCheck.path + ": exists (give --replace to move it aside)");
        return context.Fail(kExitUsage, "'" + fileCheck.path + "' cannot name a data file");
    }

    CSecretText password;
    if (!ReadNewSecret(context, args.Has("empty-password"), password.Get()))
        return kExitUsage;
    // Only an empty password that was explicitly allowed gets here; keep it.
    context.Sink().SetQuestionAnswer(IDNO);
    if (!CheckPasswordPage(username, password.Get(), password.Get()).moveOn)
        return kExitUsage;

    CCreatorSQLite creator;
    creator.SetFileName(fileCheck.path);
    creator.SetUserName(username);
    std::string key = MakeKeyText(password.Get());
    creator.SetKey(key);
    SecureZero(key);
    creator.SetHint(args.Get("hint"));
    if (args.Has("categories")) {
        creator.SetCreateCategories(true);
        creator.SetCategories(VisibleDefaultCategories());
    }
    if (creator.Create() != 1)
        return context.Fail(kExitDataError, fileCheck.path + ": the data file was not created");
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("path", fileCheck.path);
        json.Key("moved_aside_to");
        if (creator.GetBackupName().empty())
            json.Null();
        else
            json.String(creator.GetBackupName());
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << "created " << fileCheck.path << '\n';
        if (!creator.GetBackupName().empty())
            context.Out() << "the old file was moved to " << creator.GetBackupName() << '\n';
    }
    return kExitOk;
}

int RunHint(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(1, 1, code))
        return code;
    const std::string& path = context.Args().Positionals()[0];
    if (!IsDataFile(context, path, code))
        return code;
    std::string hint;
    if (!ReadHint(path, hint))
        return kExitDataError;
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("hint", DisplayText(hint));
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << (hint.empty() ? LoadString(61327) : DisplayText(hint)) << '\n';
    }
    return kExitOk;
}

int RunPasswd(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(1, 1, code))
        return code;
    const CCliArgs& args = context.Args();
    if (args.Has("new-user") && args.Get("new-user").empty())
        return context.Usage("the new username may not be empty");
    CCliVault vault(context);
    if ((code = vault.Open(args.Positionals()[0])) != kExitOk)
        return code;

    PASSWORD_CHANGE_VALUES values;
    if (!ReadNewSecret(context, args.Has("empty-password"), values.newPassword))
        return kExitUsage;
    values.newPasswordAgain = values.newPassword;
    values.currentPassword = vault.GetPassword();
    values.newUsername = args.Has("new-user") ? args.Get("new-user") : vault.GetUserName();
    if (args.Has("hint")) {
        values.hint = args.Get("hint");
    } else if (!ReadHint(vault.GetPath(), values.hint)) {
        return kExitDataError;
    }
    context.Sink().SetQuestionAnswer(IDNO);
    PASSWORD_CHANGE_CHECK check = ValidatePasswordChange(vault.Doc().GetAutorizator(), values);
    SecureZero(values.currentPassword);
    SecureZero(values.newPassword);
    SecureZero(values.newPasswordAgain);
    if (!check.passed)
        return kExitDataError;
    // The change runs on a connection of its own, so the document lets go of the file first.
    const std::string path = vault.GetPath();
    if (!vault.Doc().Logout())
        return context.Fail(kExitDataError, path + ": the data file could not be closed");
    if (!ApplyPasswordChange(path, check.oldKeyText, check.newKeyText, values.newUsername,
                             values.hint))
        return context.Fail(kExitDataError, path + ": the password was not changed");
    if (!context.Json())
        context.Out() << "password changed\n";
    return kExitOk;
}

int RunBackup(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(1, 1, code))
        return code;
    const CCliArgs& args = context.Args();
    if (!args.Has("to"))
        return context.Usage("a folder for the copy is needed (--to FOLDER)");
    const std::string folder = args.Get("to");
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return context.Fail(kExitDataError, folder + ": no such folder");
    std::string path;
    {
        // The copy is made only of a file that opens with these credentials, and closed.
        CCliVault vault(context);
        if ((code = vault.Open(args.Positionals()[0])) != kExitOk)
            return code;
        path = vault.GetPath();
    }
    const bool stamp = !args.Has("no-timestamp");
    const std::string format = args.Get("timestamp", TresorixSettings().Backup_Timestamp.empty()
                                                         ? std::string("_%Y_%m_%d_%H_%M_%S")
                                                         : TresorixSettings().Backup_Timestamp);
    CKivBackup backup(path, folder, format, stamp);
    if (!backup.Run())
        return context.Fail(kExitDataError, path + ": no backup was made");
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("copied_to", backup.GetCopiedTo());
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << "copied to " << backup.GetCopiedTo() << '\n';
    }
    return kExitOk;
}

int RunCompact(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(1, 1, code))
        return code;
    const std::string& path = context.Args().Positionals()[0];
    std::error_code error;
    const auto before = std::filesystem::file_size(path, error);
    {
        CCliVault vault(context);
        if ((code = vault.Open(path)) != kExitOk)
            return code;
        if (!CompactDataFile(vault.Doc().GetDatabase()))
            return context.Fail(kExitDataError, path + ": compaction failed");
    }
    const auto after = std::filesystem::file_size(path, error);
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Key("bytes_before");
        json.UInt(before);
        json.Key("bytes_after");
        json.UInt(after);
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << "compacted " << path << ": " << before << " -> " << after << " bytes\n";
    }
    return kExitOk;
}

} // namespace

void AddVaultCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back(
        {"create",
         "VAULT",
         "Create a new data file",
         "The password is asked for twice on the terminal (one line with --password-stdin).\n"
         "A VAULT without an extension gets \".trx\".",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {{"hint", 0, "TEXT", "the password hint (readable by anyone)"},
          {"categories", 0, nullptr, "create the default category folders"},
          {"empty-password", 0, nullptr, "allow an empty password"},
          {"replace", 0, nullptr, "move an existing file at VAULT aside (VAULT.bakNN)"}},
         RunCreate});
    commands.push_back({"hint",
                        "VAULT",
                        "Show the password hint of a data file",
                        nullptr,
                        CLICOMMAND::kJson,
                        {},
                        RunHint});
    commands.push_back(
        {"passwd",
         "VAULT",
         "Change the master password, the username or the hint",
         "Reads the current password, then the new one (twice on the terminal; with\n"
         "--password-stdin the first line is the current and the second the new password).\n"
         "Every record and file is encrypted again under the new password.",
         CLICOMMAND::kLogin,
         {{"new-user", 0, "USER", "the new username (default: unchanged)"},
          {"hint", 0, "TEXT", "the new password hint (default: unchanged)"},
          {"empty-password", 0, nullptr, "allow an empty new password"}},
         RunPasswd});
    commands.push_back(
        {"backup",
         "VAULT",
         "Copy the data file into a backup folder",
         "The copy is named after the data file with the time appended; an existing copy is\n"
         "never overwritten.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {{"to", 0, "FOLDER", "the folder for the copy"},
          {"timestamp", 0, "FORMAT", "strftime format of the time (default _%Y_%m_%d_%H_%M_%S)"},
          {"no-timestamp", 0, nullptr, "keep the file name as it is"}},
         RunBackup});
    commands.push_back({"compact",
                        "VAULT",
                        "Compact the data file",
                        nullptr,
                        CLICOMMAND::kLogin | CLICOMMAND::kJson,
                        {},
                        RunCompact});
}
