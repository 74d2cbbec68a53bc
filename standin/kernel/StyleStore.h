#pragma once

// Internal to the stand-in kernel: the named style values behind QelUtilStyleGetLowLevelX and
// QelUtilStyleSetLowLevelX. An area of the kernel registers the values it owns from its own
// source file, one line each:
//
//     static const qelmar::standin::StyleRegistrar layoutStyles{[] {
//         registerStyleValue({"FileConfig", "LayoutConfig", "IncludeData"}, StyleDefinition::boolean(false));
//     }};
//
// The registrar runs again whenever the kernel is reset, which brings every value back to its
// default.

#include "host/KernelStyle.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace qelmar::standin {

using StylePath = std::vector<std::string>;
// Booleans, integers and enumerations (as long), reals, texts.
using StyleVariant = std::variant<bool, long, double, std::string>;

// Selects one instance of a style value that has several (for example one per frame);
// -1 means not given, which addresses the first instance.
struct StyleInstance {
    long first = -1;
    long second = -1;
};

class StyleDefinition {
public:
    enum class Type { Boolean, Integer, Enumeration, Real, Text };

    static StyleDefinition boolean(bool defaultValue);
    static StyleDefinition integer(long defaultValue, long minimum, long maximum);
    static StyleDefinition enumeration(long defaultValue, std::vector<long> allowedValues);
    static StyleDefinition real(double defaultValue, double minimum, double maximum);
    static StyleDefinition text(std::string defaultValue);

    // Offsets then address instances 1..firstCount (and 1..secondCount); without instances
    // the offsets are ignored.
    StyleDefinition& withInstances(long firstCount, long secondCount = 0);
    // Every accepted write answers SetValue_AcceptedMayDiffer.
    StyleDefinition& answeringAcceptedMayDiffer(bool answers = true);
    // A value the kernel refuses although it is in range, with the text it gives.
    StyleDefinition& refusing(StyleVariant value, std::string message);

    Type type() const noexcept { return m_type; }
    const StyleVariant& defaultValue() const noexcept { return m_default; }
    long firstInstanceCount() const noexcept { return m_firstCount; }
    long secondInstanceCount() const noexcept { return m_secondCount; }
    bool answersAcceptedMayDiffer() const noexcept { return m_answersAcceptedMayDiffer; }

    // The value in this definition's type, or nothing when it cannot be represented.
    std::optional<StyleVariant> convert(const StyleVariant& value) const;
    // SetValue_Ok, or the refusal code with the text for the user.
    SetValueReturnCode_e check(const StyleVariant& value, const std::string& displayName,
                               std::string& message) const;

private:
    StyleDefinition(Type type, StyleVariant defaultValue);

    Type m_type;
    StyleVariant m_default;
    double m_minimum = 0.0;
    double m_maximum = 0.0;
    std::vector<long> m_allowed;
    std::vector<std::pair<StyleVariant, std::string>> m_refused;
    long m_firstCount = 0;
    long m_secondCount = 0;
    bool m_answersAcceptedMayDiffer = false;
};

class StyleStore {
public:
    static StyleStore& instance();

    // Defines (or redefines) a value; its instances start at the default.
    void define(const StylePath& path, const StyleDefinition& definition);
    bool isDefined(const StylePath& path) const;
    const StyleDefinition* definition(const StylePath& path) const;

    GetValueReturnCode_e get(const ArgList_s& args) const;
    SetValueReturnCode_e set(const ArgList_s& args);
    const std::optional<std::string>& lastError() const noexcept { return m_lastError; }
    void clearLastError() { m_lastError.reset(); }

    // Direct access for other kernel areas and for tests. Reading an unknown value gives
    // nothing (the typed readers give the type's default).
    std::optional<StyleVariant> value(const StylePath& path, StyleInstance instance = {}) const;
    bool boolValue(const StylePath& path, StyleInstance instance = {}) const;
    long integerValue(const StylePath& path, StyleInstance instance = {}) const;
    double realValue(const StylePath& path, StyleInstance instance = {}) const;
    std::string textValue(const StylePath& path, StyleInstance instance = {}) const;

    // Changes a value the way another part of the application does: no range check, but the
    // value must fit the type. Announces the change; false when nothing could be assigned.
    bool assign(const StylePath& path, const StyleVariant& value, StyleInstance instance = {});

    // Refuses every write to the value with the text, or with no text at all, until accepted.
    void refuseWrites(const StylePath& path, std::optional<std::string> message);
    void acceptWrites(const StylePath& path);
    void setAnswersAcceptedMayDiffer(const StylePath& path, bool answers);
    // Set calls that reached the value, refused ones included.
    long writeCount(const StylePath& path) const;

    // Forgets every value and announces that all style state was replaced.
    void reset();

private:
    StyleStore();

    struct Refusal {
        std::optional<std::string> message;
    };
    struct Record {
        StyleDefinition definition;
        std::map<std::pair<long, long>, StyleVariant> instances;
        std::optional<Refusal> refusal;
        bool answersAcceptedMayDiffer = false;
        long writes = 0;
    };

    Record* find(const StylePath& path);
    const Record* find(const StylePath& path) const;
    static std::optional<std::pair<long, long>> instanceKey(const StyleDefinition& definition,
                                                            StyleInstance instance);
    static const StyleVariant& valueOf(const Record& record, const std::pair<long, long>& key);
    void refuse(std::string message) { m_lastError = std::move(message); }

    std::map<StylePath, Record> m_records;
    std::optional<std::string> m_lastError;
};

// Defines a style value in the kernel's store; see the registrar below.
void registerStyleValue(const StylePath& path, const StyleDefinition& definition);

// Runs an area's registrations now and again after every kernel reset.
class StyleRegistrar {
public:
    explicit StyleRegistrar(std::function<void()> registerValues);
};

// Identifiers of style value names: one per distinct name, stable for the whole run.
long styleNameIdentifier(const std::string& name);
const std::string* styleNameOf(long identifier);

// The display form of a path in messages: the names separated by spaces.
std::string styleDisplayName(const StylePath& path);

} // namespace qelmar::standin
