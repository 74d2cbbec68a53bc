#include "host/CheckedStyleValue.h"

namespace qelmar::toolbox {

namespace {

bool isSetUp(const ArgList& args) {
    return args.contains("Identifiers");
}

bool carriesValue(const ArgList& args) {
    return args.contains("IValue") || args.contains("DValue") || args.contains("StrValue");
}

} // namespace

GetValueReturnCode_e CheckedStyleValue::styleGetLowLevel(ArgList& args) const {
    if (!isSetUp(args) || !carriesValue(args))
        return GetValue_SyntaxError;
    return getLowLevel(args);
}

SetValueReturnCode_e CheckedStyleValue::styleSetLowLevel(ArgList& args) const {
    if (!isSetUp(args) || !carriesValue(args) || !args.contains("AssignOp"))
        return SetValue_InvalidCommandOption;
    return setLowLevel(args);
}

} // namespace qelmar::toolbox
