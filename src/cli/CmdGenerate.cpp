#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliText.h"
#include "cli/JsonWriter.h"
#include "platform/StringTable.h"
#include "security/SecureZero.h"
#include "tools/Password.h"

namespace {

constexpr unsigned kIdSelectOption = 61271;
constexpr long long kMaxLength = 4096;
constexpr long long kMaxCount = 10000;

struct GENERATOROPTIONS {
    int length = 16;
    bool upper = true;
    bool lower = true;
    bool numerals = true;
    bool exclude = false;
    bool special = true;
    bool otherEnabled = false;
    std::string other;
    bool pronounce = false;
    int level = 1;
    int count = 1;
};

// The options in command-line order, so that "--no-digits --digits" ends with digits on.
int ReadOptions(CCliContext& context, GENERATOROPTIONS& options) {
    for (const auto& [key, value] : context.Args().Occurrences()) {
        long long number = 0;
        if (key == "length") {
            if (!ParseInteger(value, number) || number < 1 || number > kMaxLength)
                return context.Usage("--length needs a number from 1 to " +
                                     std::to_string(kMaxLength));
            options.length = static_cast<int>(number);
        } else if (key == "count") {
            if (!ParseInteger(value, number) || number < 1 || number > kMaxCount)
                return context.Usage("--count needs a number from 1 to " +
                                     std::to_string(kMaxCount));
            options.count = static_cast<int>(number);
        } else if (key == "pronounce") {
            if (!ParseInteger(value, number) || number < 0 || number > 2)
                return context.Usage("--pronounce needs a level of 0, 1 or 2");
            options.pronounce = true;
            options.level = static_cast<int>(number);
        } else if (key == "other") {
            options.otherEnabled = true;
            options.other = value;
        } else if (key == "upper" || key == "no-upper") {
            options.upper = key == "upper";
        } else if (key == "lower" || key == "no-lower") {
            options.lower = key == "lower";
        } else if (key == "digits" || key == "no-digits") {
            options.numerals = key == "digits";
        } else if (key == "special" || key == "no-special") {
            options.special = key == "special";
        } else if (key == "exclude-dubious") {
            options.exclude = true;
        }
    }
    return kExitOk;
}

int RunGenerate(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(0, 0, code))
        return code;
    GENERATOROPTIONS options;
    if ((code = ReadOptions(context, options)) != kExitOk)
        return code;
    // The generator dialog's own check, made on the symbols as typed.
    if (!options.upper && !options.lower && !options.numerals && !options.special &&
        (!options.otherEnabled || options.other.empty()))
        return context.Usage(LoadString(kIdSelectOption));

    CPassword generator;
    std::vector<std::string> passwords;
    for (int i = 0; i < options.count; ++i) {
        std::string password = generator.Generate(
            options.length, options.upper, options.lower, options.numerals, options.exclude,
            options.special, options.otherEnabled, options.other, options.pronounce, options.level);
        if (password.empty() || password == CPassword::kWrongOptions) {
            for (std::string& each : passwords)
                SecureZero(each);
            return context.Fail(kExitUsage,
                                "no password can be made of the characters these options allow");
        }
        passwords.push_back(std::move(password));
    }
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginArray();
        for (const std::string& password : passwords) {
            json.BeginObject();
            json.Field("password", password);
            json.Field("firmness", CPassword::EstimateFirmness(password.c_str()));
            json.EndObject();
        }
        json.EndArray();
        json.Finish();
    } else {
        for (const std::string& password : passwords)
            context.Out() << password << '\n';
    }
    for (std::string& each : passwords)
        SecureZero(each);
    return kExitOk;
}

} // namespace

void AddGenerateCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back(
        {"generate",
         "",
         "Generate random passwords",
         "Characters are drawn from the sets switched on (upper and lower case letters, digits\n"
         "and special symbols by default) and from the symbols of --other. The JSON form\n"
         "adds the estimated strength in bits.",
         CLICOMMAND::kJson,
         {{"length", 'l', "N", "the number of characters (default 16)"},
          {"count", 'n', "N", "how many passwords (default 1)"},
          {"upper", 0, nullptr, "use upper case letters A-Z (default)"},
          {"no-upper", 0, nullptr, "no upper case letters"},
          {"lower", 0, nullptr, "use lower case letters a-z (default)"},
          {"no-lower", 0, nullptr, "no lower case letters"},
          {"digits", 0, nullptr, "use the digits 0-9 (default)"},
          {"no-digits", 0, nullptr, "no digits"},
          {"special", 0, nullptr, "use special symbols ~!@#$%^&*()-,.=+<>[]{}` (default)"},
          {"no-special", 0, nullptr, "no special symbols"},
          {"exclude-dubious", 0, nullptr, "leave out symbols easily confused (!1Il0Oo^,.[]$)"},
          {"other", 0, "SYMBOLS", "also use these symbols (blanks and commas are ignored)"},
          {"pronounce", 0, "LEVEL",
           "easier to pronounce: 1 no three non-vowels in a row, 2 vowels alternate"}},
         RunGenerate});
}
