#pragma once

#include <string>

// The page parts the HTML and XML reports are made of, by their resource numbers.
enum REPORTTEMPLATE : int {
    kTemplateSimpleHead = 395,
    kTemplateFoot = 397,
    kTemplateClassicHead = 398,
    kTemplateFindForm = 399,
    kTemplateGroupStart = 400,
    kTemplateGroupEnd = 401,
    kTemplateXmlHead = 407,
};

// Where the outputs load their templates from: the built-in set in the program, others in
// tests.
class IReportTemplates {
public:
    virtual ~IReportTemplates() = default;
    // The whole template; false when there is none of that number.
    virtual bool Load(int number, std::string& text) = 0;
};

// The templates compiled into the program (resources/reports).
class CBuiltInReportTemplates : public IReportTemplates {
public:
    bool Load(int number, std::string& text) override;
};

IReportTemplates& BuiltInReportTemplates();
