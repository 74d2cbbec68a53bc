#include "kernel/StyleStore.h"

#include "kernel/ArgListData.h"
#include "kernel/KernelState.h"
#include "kernel/StateChange.h"

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace qelmar::standin {

namespace {

constexpr long assignOperator = 255;

std::string translated(const char* text) {
    return QCoreApplication::translate("StyleStore", text).toStdString();
}

QString quoted(const std::string& text) {
    return QString::fromStdString(text);
}

std::string describe(const StyleVariant& value) {
    struct Describe {
        std::string operator()(bool v) const { return v ? "true" : "false"; }
        std::string operator()(long v) const { return std::to_string(v); }
        std::string operator()(double v) const { return QString::number(v).toStdString(); }
        std::string operator()(const std::string& v) const { return "\"" + v + "\""; }
    };
    return std::visit(Describe{}, value);
}

std::optional<long> asInteger(const StyleVariant& value) {
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1 : 0;
    if (const auto* l = std::get_if<long>(&value))
        return *l;
    if (const auto* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d) || *d != std::trunc(*d))
            return std::nullopt;
        return static_cast<long>(*d);
    }
    return std::nullopt;
}

struct NameTable {
    std::unordered_map<std::string, long> identifiers;
    std::vector<std::string> names;
};

// Never reset: style values built before a reset keep identifiers that must stay valid.
NameTable& nameTable() {
    static NameTable table;
    return table;
}

} // namespace

// ---- StyleDefinition ----------------------------------------------------------------------

StyleDefinition::StyleDefinition(Type type, StyleVariant defaultValue)
    : m_type(type)
    , m_default(std::move(defaultValue)) {}

StyleDefinition StyleDefinition::boolean(bool defaultValue) {
    return StyleDefinition(Type::Boolean, defaultValue);
}

StyleDefinition StyleDefinition::integer(long defaultValue, long minimum, long maximum) {
    StyleDefinition definition(Type::Integer, defaultValue);
    definition.m_minimum = static_cast<double>(minimum);
    definition.m_maximum = static_cast<double>(maximum);
    return definition;
}

StyleDefinition StyleDefinition::enumeration(long defaultValue, std::vector<long> allowedValues) {
    StyleDefinition definition(Type::Enumeration, defaultValue);
    definition.m_allowed = std::move(allowedValues);
    return definition;
}

StyleDefinition StyleDefinition::real(double defaultValue, double minimum, double maximum) {
    StyleDefinition definition(Type::Real, defaultValue);
    definition.m_minimum = minimum;
    definition.m_maximum = maximum;
    return definition;
}

StyleDefinition StyleDefinition::text(std::string defaultValue) {
    return StyleDefinition(Type::Text, std::move(defaultValue));
}

StyleDefinition& StyleDefinition::withInstances(long firstCount, long secondCount) {
    m_firstCount = std::max(0L, firstCount);
    m_secondCount = std::max(0L, secondCount);
    return *this;
}

StyleDefinition& StyleDefinition::answeringAcceptedMayDiffer(bool answers) {
    m_answersAcceptedMayDiffer = answers;
    return *this;
}

StyleDefinition& StyleDefinition::refusing(StyleVariant value, std::string message) {
    if (auto converted = convert(value))
        m_refused.emplace_back(std::move(*converted), std::move(message));
    return *this;
}

std::optional<StyleVariant> StyleDefinition::convert(const StyleVariant& value) const {
    switch (m_type) {
    case Type::Boolean:
        if (const auto integer = asInteger(value); integer && (*integer == 0 || *integer == 1))
            return StyleVariant(*integer != 0);
        return std::nullopt;
    case Type::Integer:
    case Type::Enumeration:
        if (const auto integer = asInteger(value))
            return StyleVariant(*integer);
        return std::nullopt;
    case Type::Real:
        if (std::holds_alternative<double>(value))
            return value;
        if (const auto* l = std::get_if<long>(&value))
            return StyleVariant(static_cast<double>(*l));
        return std::nullopt;
    case Type::Text:
        if (std::holds_alternative<std::string>(value))
            return value;
        return std::nullopt;
    }
    return std::nullopt;
}

SetValueReturnCode_e StyleDefinition::check(const StyleVariant& value, const std::string& displayName,
                                            std::string& message) const {
    for (const auto& [refused, refusalMessage] : m_refused) {
        if (refused == value) {
            message = refusalMessage;
            return SetValue_InvalidValue;
        }
    }
    if (m_type == Type::Integer || m_type == Type::Real) {
        const double number =
            m_type == Type::Integer ? static_cast<double>(std::get<long>(value)) : std::get<double>(value);
        // Written so that NaN fails too.
        if (!(number >= m_minimum && number <= m_maximum)) {
            message =
                QCoreApplication::translate(
                    "StyleStore", "The value %1 is out of range for \"%2\": it must be between %3 and %4.")
                    .arg(QString::fromStdString(describe(value)), quoted(displayName))
                    .arg(m_minimum)
                    .arg(m_maximum)
                    .toStdString();
            return SetValue_ValueOutOfRange;
        }
    }
    if (m_type == Type::Enumeration &&
        std::find(m_allowed.begin(), m_allowed.end(), std::get<long>(value)) == m_allowed.end()) {
        message =
            QCoreApplication::translate("StyleStore", "The value %1 is not one of the choices for \"%2\".")
                .arg(QString::fromStdString(describe(value)), quoted(displayName))
                .toStdString();
        return SetValue_InvalidValue;
    }
    return SetValue_Ok;
}

// ---- StyleStore ---------------------------------------------------------------------------

StyleStore::StyleStore() {
    // Registered before any area's registrar (each registrar creates the store first), so a
    // reset empties the store before the areas define their values again.
    KernelState::instance().registerReset([this] { reset(); });
}

StyleStore& StyleStore::instance() {
    static StyleStore store;
    return store;
}

namespace {

// The store registers its reset when it is built. Building it when the kernel loads keeps that
// registration from happening in the middle of a reset, when another area first asks for it.
const bool storeBuiltAtLoad = (StyleStore::instance(), true);

} // namespace

void StyleStore::define(const StylePath& path, const StyleDefinition& definition) {
    m_records.insert_or_assign(
        path, Record{definition, {}, std::nullopt, definition.answersAcceptedMayDiffer(), 0});
}

bool StyleStore::isDefined(const StylePath& path) const {
    return find(path) != nullptr;
}

const StyleDefinition* StyleStore::definition(const StylePath& path) const {
    const Record* record = find(path);
    return record ? &record->definition : nullptr;
}

StyleStore::Record* StyleStore::find(const StylePath& path) {
    const auto it = m_records.find(path);
    return it == m_records.end() ? nullptr : &it->second;
}

const StyleStore::Record* StyleStore::find(const StylePath& path) const {
    const auto it = m_records.find(path);
    return it == m_records.end() ? nullptr : &it->second;
}

std::optional<std::pair<long, long>> StyleStore::instanceKey(const StyleDefinition& definition,
                                                             StyleInstance instance) {
    const auto select = [](long offset, long count) -> std::optional<long> {
        if (count == 0)
            return -1L;
        const long selected = offset == -1 ? 1 : offset;
        if (selected < 1 || selected > count)
            return std::nullopt;
        return selected;
    };
    const auto first = select(instance.first, definition.firstInstanceCount());
    const auto second = select(instance.second, definition.secondInstanceCount());
    if (!first || !second)
        return std::nullopt;
    return std::make_pair(*first, *second);
}

const StyleVariant& StyleStore::valueOf(const Record& record, const std::pair<long, long>& key) {
    const auto it = record.instances.find(key);
    return it == record.instances.end() ? record.definition.defaultValue() : it->second;
}

namespace {

std::optional<StylePath> pathOf(const ArgList_s& args) {
    const std::vector<long>* identifiers = args.findIdentifierPath("Identifiers");
    if (!identifiers || identifiers->empty())
        return std::nullopt;
    StylePath path;
    for (long identifier : *identifiers) {
        const std::string* name = styleNameOf(identifier);
        if (!name)
            return std::nullopt;
        path.push_back(*name);
    }
    return path;
}

StyleInstance instanceOf(const ArgList_s& args) {
    return {args.findInt("Offset1").value_or(-1), args.findInt("Offset2").value_or(-1)};
}

// The value a set call carries, in the form closest to the definition's type: an integer
// value wins for integral types, a double for reals.
std::optional<StyleVariant> writtenValue(const StyleDefinition& definition, const ArgList_s& args) {
    const auto integer = args.findInt("IValue");
    const auto real = args.findDouble("DValue");
    const auto text = args.findString("StrValue");
    switch (definition.type()) {
    case StyleDefinition::Type::Boolean:
    case StyleDefinition::Type::Integer:
    case StyleDefinition::Type::Enumeration:
        if (integer)
            return definition.convert(*integer);
        if (real)
            return definition.convert(*real);
        return std::nullopt;
    case StyleDefinition::Type::Real:
        if (real)
            return definition.convert(*real);
        if (integer)
            return definition.convert(*integer);
        return std::nullopt;
    case StyleDefinition::Type::Text:
        if (text)
            return StyleVariant(*text);
        return std::nullopt;
    }
    return std::nullopt;
}

bool deliver(const StyleVariant& value, const ArgList_s& args) {
    long* integerOut = args.findIntReceiver("IValue");
    double* realOut = args.findDoubleReceiver("DValue");
    char** textOut = args.findStringReceiver("StrValue");
    const auto* text = std::get_if<std::string>(&value);
    if ((integerOut || realOut) && text)
        return false;
    if (textOut && !text)
        return false;
    if (integerOut) {
        if (const auto* d = std::get_if<double>(&value))
            *integerOut = std::lround(*d);
        else
            *integerOut = *asInteger(value);
    }
    if (realOut) {
        if (const auto* d = std::get_if<double>(&value))
            *realOut = *d;
        else
            *realOut = static_cast<double>(*asInteger(value));
    }
    if (textOut)
        *textOut = allocKernelString(*text);
    return true;
}

bool hasReceiver(const ArgList_s& args) {
    return args.findIntReceiver("IValue") || args.findDoubleReceiver("DValue") ||
           args.findStringReceiver("StrValue");
}

} // namespace

GetValueReturnCode_e StyleStore::get(const ArgList_s& args) const {
    const auto path = pathOf(args);
    const Record* record = path ? find(*path) : nullptr;
    if (!record)
        return GetValue_UnknownStyleName;
    const auto key = instanceKey(record->definition, instanceOf(args));
    if (!key)
        return GetValue_InvalidOffset;
    if (!hasReceiver(args))
        return GetValue_SyntaxError;
    return deliver(valueOf(*record, *key), args) ? GetValue_Ok : GetValue_ResultTypeError;
}

SetValueReturnCode_e StyleStore::set(const ArgList_s& args) {
    m_lastError.reset();
    const auto path = pathOf(args);
    Record* record = path ? find(*path) : nullptr;
    if (!record) {
        refuse(QCoreApplication::translate("StyleStore", "There is no style value named \"%1\".")
                   .arg(quoted(path ? styleDisplayName(*path) : std::string()))
                   .toStdString());
        return SetValue_UnknownStyleName;
    }
    ++record->writes;
    const std::string name = styleDisplayName(*path);
    const auto key = instanceKey(record->definition, instanceOf(args));
    if (!key) {
        refuse(QCoreApplication::translate("StyleStore", "\"%1\" has no instance at this offset.")
                   .arg(quoted(name))
                   .toStdString());
        return SetValue_InvalidOffset;
    }
    if (args.findInt("AssignOp").value_or(assignOperator) != assignOperator) {
        refuse(translated("Style values can only be assigned."));
        return SetValue_InvalidCommandOption;
    }
    if (record->refusal) {
        m_lastError = record->refusal->message;
        return SetValue_InvalidValue;
    }
    const auto value = writtenValue(record->definition, args);
    if (!value) {
        refuse(QCoreApplication::translate("StyleStore", "\"%1\" cannot take a value of this type.")
                   .arg(quoted(name))
                   .toStdString());
        return SetValue_WrongValueType;
    }
    std::string message;
    if (const auto code = record->definition.check(*value, name, message); code != SetValue_Ok) {
        refuse(std::move(message));
        return code;
    }
    const bool changed = valueOf(*record, *key) != *value;
    record->instances[*key] = *value;
    if (changed)
        notifyStateChange(StateChange_Style);
    if (record->answersAcceptedMayDiffer)
        return SetValue_AcceptedMayDiffer;
    return changed ? SetValue_Ok : SetValue_DuplicateValue;
}

std::optional<StyleVariant> StyleStore::value(const StylePath& path, StyleInstance instance) const {
    const Record* record = find(path);
    if (!record)
        return std::nullopt;
    const auto key = instanceKey(record->definition, instance);
    if (!key)
        return std::nullopt;
    return valueOf(*record, *key);
}

bool StyleStore::boolValue(const StylePath& path, StyleInstance instance) const {
    return integerValue(path, instance) != 0;
}

long StyleStore::integerValue(const StylePath& path, StyleInstance instance) const {
    const auto held = value(path, instance);
    if (!held)
        return 0;
    if (const auto* d = std::get_if<double>(&*held))
        return std::lround(*d);
    return asInteger(*held).value_or(0);
}

double StyleStore::realValue(const StylePath& path, StyleInstance instance) const {
    const auto held = value(path, instance);
    if (!held)
        return 0.0;
    if (const auto* d = std::get_if<double>(&*held))
        return *d;
    return static_cast<double>(asInteger(*held).value_or(0));
}

std::string StyleStore::textValue(const StylePath& path, StyleInstance instance) const {
    const auto held = value(path, instance);
    if (!held)
        return {};
    if (const auto* text = std::get_if<std::string>(&*held))
        return *text;
    return describe(*held);
}

bool StyleStore::assign(const StylePath& path, const StyleVariant& value, StyleInstance instance) {
    Record* record = find(path);
    if (!record)
        return false;
    const auto key = instanceKey(record->definition, instance);
    const auto converted = record->definition.convert(value);
    if (!key || !converted)
        return false;
    const bool changed = valueOf(*record, *key) != *converted;
    record->instances[*key] = *converted;
    if (changed)
        notifyStateChange(StateChange_Style);
    return true;
}

void StyleStore::refuseWrites(const StylePath& path, std::optional<std::string> message) {
    if (Record* record = find(path))
        record->refusal = Refusal{std::move(message)};
}

void StyleStore::acceptWrites(const StylePath& path) {
    if (Record* record = find(path))
        record->refusal.reset();
}

void StyleStore::setAnswersAcceptedMayDiffer(const StylePath& path, bool answers) {
    if (Record* record = find(path))
        record->answersAcceptedMayDiffer = answers;
}

long StyleStore::writeCount(const StylePath& path) const {
    const Record* record = find(path);
    return record ? record->writes : 0;
}

void StyleStore::reset() {
    m_records.clear();
    m_lastError.reset();
    notifyStateChange(StateChange_Shutdown);
}

// ---- registration and names ---------------------------------------------------------------

void registerStyleValue(const StylePath& path, const StyleDefinition& definition) {
    StyleStore::instance().define(path, definition);
}

StyleRegistrar::StyleRegistrar(std::function<void()> registerValues) {
    StyleStore::instance();
    registerValues();
    KernelState::instance().registerReset(std::move(registerValues));
}

long styleNameIdentifier(const std::string& name) {
    auto& table = nameTable();
    const auto [it, inserted] = table.identifiers.try_emplace(name, static_cast<long>(table.names.size()));
    if (inserted)
        table.names.push_back(name);
    return it->second;
}

const std::string* styleNameOf(long identifier) {
    const auto& names = nameTable().names;
    if (identifier < 0 || identifier >= static_cast<long>(names.size()))
        return nullptr;
    return &names[static_cast<std::size_t>(identifier)];
}

std::string styleDisplayName(const StylePath& path) {
    std::string name;
    for (const auto& part : path) {
        if (!name.empty())
            name += ' ';
        name += part;
    }
    return name;
}

} // namespace qelmar::standin
