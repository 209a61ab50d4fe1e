#include "tools/ReportTemplates.h"

namespace {

constexpr const char kClassicHead[] =
#include "reports/head_classic.inc"
    ;
constexpr const char kSimpleHead[] =
#include "reports/head_simple.inc"
    ;
constexpr const char kFindForm[] =
#include "reports/find_form.inc"
    ;
constexpr const char kGroupStart[] =
#include "reports/group_start.inc"
    ;
constexpr const char kGroupEnd[] =
#include "reports/group_end.inc"
    ;
constexpr const char kFoot[] =
#include "reports/foot.inc"
    ;
constexpr const char kXmlHead[] =
#include "reports/xml_head.inc"
    ;

} // namespace

bool CBuiltInReportTemplates::Load(int number, std::string& text) {
    const char* found = nullptr;
    switch (number) {
    case kTemplateSimpleHead:
        found = kSimpleHead;
        break;
    case kTemplateFoot:
        found = kFoot;
        break;
    case kTemplateClassicHead:
        found = kClassicHead;
        break;
    case kTemplateFindForm:
        found = kFindForm;
        break;
    case kTemplateGroupStart:
        found = kGroupStart;
        break;
    case kTemplateGroupEnd:
        found = kGroupEnd;
        break;
    case kTemplateXmlHead:
        found = kXmlHead;
        break;
    default:
        return false;
    }
    text = found;
    return true;
}

IReportTemplates& BuiltInReportTemplates() {
    static CBuiltInReportTemplates templates;
    return templates;
}
