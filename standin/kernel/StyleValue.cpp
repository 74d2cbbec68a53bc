#include "host/StyleValue.h"

#include "host/KernelString.h"

namespace qelmar::toolbox {

namespace {

// Stands for a name the kernel could not give an identifier for. It is never a valid
// identifier, so the kernel refuses the path instead of the path ending early at a -1.
constexpr long unresolvedIdentifier = -2;

long identifierOf(const char* name) {
    const long identifier = QelUtilStyleNameGetID(name);
    return identifier < 0 ? unresolvedIdentifier : identifier;
}

} // namespace

StyleValue::StyleValue(const StringList& names)
    : m_names(names) {
    m_identifiers.reserve(static_cast<std::size_t>(m_names.size()));
    for (long index = 0; index < m_names.size(); ++index)
        m_identifiers.push_back(identifierOf(m_names[index]));
}

std::size_t StyleValue::initMacroIDsfromStyleValueNames(const ExtraStyleNames& names, long* identifiers) {
    std::size_t count = 0;
    for (const char* name : names) {
        if (!name)
            break;
        identifiers[count++] = identifierOf(name);
    }
    return count;
}

void StyleValue::setupGetValueArgList(const long* path, long firstOffset, long secondOffset,
                                      ArgList& args) const {
    args.appendIdentifierPath("Identifiers", path);
    args.appendInt("Offset1", firstOffset);
    args.appendInt("Offset2", secondOffset);
}

void StyleValue::setupSetValueArgList(const long* path, Set_pa set, long firstOffset, long secondOffset,
                                      long assignOperatorValue, ArgList& args) const {
    setupGetValueArgList(path, firstOffset, secondOffset, args);
    // This kernel addresses instances by their offsets only and keeps no sets of them.
    (void)set;
    args.appendInt("AssignOp", assignOperatorValue);
}

GetValueReturnCode_e StyleValue::getFinalValue(bool* value, ArgList& args) const {
    long received = 0;
    args.appendArbParamPtr("IValue", &received);
    const GetValueReturnCode_e code = getLowLevel(args);
    if (returnCodeOk(code))
        *value = received != 0;
    return code;
}

GetValueReturnCode_e StyleValue::getFinalValue(double* value, ArgList& args) const {
    double received = 0.0;
    args.appendDoublePtr("DValue", &received);
    const GetValueReturnCode_e code = getLowLevel(args);
    if (returnCodeOk(code))
        *value = received;
    return code;
}

GetValueReturnCode_e StyleValue::getFinalValue(std::string* value, ArgList& args) const {
    qelmar::sdk::KernelString received;
    args.appendStringPtr("StrValue", received.address());
    const GetValueReturnCode_e code = getLowLevel(args);
    if (returnCodeOk(code) && !received.isNull())
        *value = received.str();
    return code;
}

SetValueReturnCode_e StyleValue::setFinalValue(bool value, ArgList& args) const {
    args.appendArbParam("IValue", value ? 1 : 0);
    return setLowLevel(args);
}

SetValueReturnCode_e StyleValue::setFinalValue(double value, ArgList& args) const {
    args.appendDouble("DValue", value);
    return setLowLevel(args);
}

SetValueReturnCode_e StyleValue::setFinalValue(const std::string& value, ArgList& args) const {
    args.appendString("StrValue", value);
    return setLowLevel(args);
}

GetValueReturnCode_e StyleValue::getLowLevel(ArgList& args) const {
    return QelUtilStyleGetLowLevelX(args.getRef());
}

SetValueReturnCode_e StyleValue::setLowLevel(ArgList& args) const {
    return QelUtilStyleSetLowLevelX(args.getRef());
}

SetValueReturnCode_e StyleValue::setInteger(long value, const ExtraStyleNames& names) const {
    std::vector<long> path(m_identifiers);
    long extra[7];
    const std::size_t extraCount = initMacroIDsfromStyleValueNames(names, extra);
    path.insert(path.end(), extra, extra + extraCount);
    path.push_back(-1);

    ArgList args;
    setupSetValueArgList(path.data(), nullptr, -1, -1, assignOperator, args);
    args.appendArbParam("IValue", value);
    args.appendDouble("DValue", static_cast<double>(value));
    return setLowLevel(args);
}

} // namespace qelmar::toolbox
