#pragma once

// Internal to the stand-in kernel: what an argument list holds. Kernel calls that take an
// ArgList_s read their arguments through the find helpers; every helper returns nothing when
// the key is absent or holds another kind of value.

#include <optional>
#include <string>
#include <vector>

struct ArgList_s {
    enum class Kind {
        String,
        Int,
        ArbParam,
        ArbParamPtr,
        Double,
        DoublePtr,
        StringPtr,
        StringList,
        IdentifierPath
    };

    struct Entry {
        std::string key;
        Kind kind = Kind::Int;
        std::string text;
        long integer = 0;
        double real = 0.0;
        long* integerOut = nullptr;
        double* realOut = nullptr;
        char** textOut = nullptr;
        std::vector<std::string> strings;
        std::vector<long> identifiers;
    };

    // In the order the arguments were appended.
    std::vector<Entry> entries;

    const Entry* find(const std::string& key) const {
        for (const auto& entry : entries) {
            if (entry.key == key)
                return &entry;
        }
        return nullptr;
    }

    bool contains(const std::string& key) const { return find(key) != nullptr; }

    std::optional<std::string> findString(const std::string& key) const {
        const Entry* entry = findOf(key, Kind::String);
        return entry ? std::optional<std::string>(entry->text) : std::nullopt;
    }

    // Integers and arbitrary parameters alike: callers pass flags and enumerations either way.
    std::optional<long> findInt(const std::string& key) const {
        const Entry* entry = find(key);
        if (!entry || (entry->kind != Kind::Int && entry->kind != Kind::ArbParam))
            return std::nullopt;
        return entry->integer;
    }

    std::optional<bool> findBool(const std::string& key) const {
        const auto value = findInt(key);
        return value ? std::optional<bool>(*value != 0) : std::nullopt;
    }

    std::optional<double> findDouble(const std::string& key) const {
        const Entry* entry = findOf(key, Kind::Double);
        return entry ? std::optional<double>(entry->real) : std::nullopt;
    }

    const std::vector<std::string>* findStringList(const std::string& key) const {
        const Entry* entry = findOf(key, Kind::StringList);
        return entry ? &entry->strings : nullptr;
    }

    const std::vector<long>* findIdentifierPath(const std::string& key) const {
        const Entry* entry = findOf(key, Kind::IdentifierPath);
        return entry ? &entry->identifiers : nullptr;
    }

    long* findIntReceiver(const std::string& key) const {
        const Entry* entry = findOf(key, Kind::ArbParamPtr);
        return entry ? entry->integerOut : nullptr;
    }

    double* findDoubleReceiver(const std::string& key) const {
        const Entry* entry = findOf(key, Kind::DoublePtr);
        return entry ? entry->realOut : nullptr;
    }

    char** findStringReceiver(const std::string& key) const {
        const Entry* entry = findOf(key, Kind::StringPtr);
        return entry ? entry->textOut : nullptr;
    }

private:
    const Entry* findOf(const std::string& key, Kind kind) const {
        const Entry* entry = find(key);
        return entry && entry->kind == kind ? entry : nullptr;
    }
};
