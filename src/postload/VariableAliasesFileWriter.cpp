#include "postload/VariableAliasesFileWriter.h"

#include "postload/TrimmedName.h"
#include "postload/VariableAliasesFileParser.h"

#include "host/KernelErrors.h"
#include "host/KernelMessages.h"
#include "host/KernelStartupFiles.h"
#include "host/KernelString.h"
#include "host/StringList.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <set>
#include <unordered_map>

namespace qelmar::sdk::ui::postload {

namespace {

constexpr char description[] = "Variable Aliases";
constexpr char header[] = "#!QELMAR VA 1\n";

QString tr(const char* text) {
    return QCoreApplication::translate("VariableAliasesFileWriter", text);
}

void tellUser(const QString& text, int type) {
    QelUtilDialogMessageBox(text.toStdString().c_str(), type);
}

QString lastKernelError() {
    return QString::fromStdString(KernelString(QelUtilGetLastErrorMessage()).str());
}

std::set<std::string> namesOf(const std::vector<std::string>& group) {
    std::set<std::string> names;
    for (const std::string& name : group) {
        std::string trimmed = trimmedName(name);
        if (!trimmed.empty())
            names.insert(std::move(trimmed));
    }
    return names;
}

// Groups of the file, found by any of their names.
class GroupsByName {
public:
    void add(const std::set<std::string>& group) {
        m_groups.push_back(group);
        for (const std::string& name : group)
            m_byName[name].push_back(m_groups.size() - 1);
    }
    bool holds(const std::set<std::string>& group) const {
        const auto found = m_byName.find(*group.begin());
        if (found == m_byName.end())
            return false;
        return std::any_of(found->second.begin(), found->second.end(), [&](std::size_t index) {
            const std::set<std::string>& held = m_groups[index];
            return std::includes(held.begin(), held.end(), group.begin(), group.end());
        });
    }

private:
    std::vector<std::set<std::string>> m_groups;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byName;
};

std::string joined(const std::vector<std::string>& group) {
    std::string line;
    std::set<std::string> seen;
    for (const std::string& name : group) {
        std::string trimmed = trimmedName(name);
        if (trimmed.empty() || !seen.insert(trimmed).second)
            continue;
        if (!line.empty())
            line += ';';
        line += trimmed;
    }
    return line;
}

bool isAliasesFile(const std::string& path, QString& reason) {
    int version = 0;
    std::FILE* file = QelAppStartupFileOpen(description, path.c_str(), "VA", &version, 0);
    if (!file) {
        reason = lastKernelError();
        return false;
    }
    std::fclose(file);
    if (version != 1) {
        reason = tr("its version is %1, and only version 1 can be added to.").arg(version);
        return false;
    }
    return true;
}

VariableAliasesFileWriter::NameGroups groupsOfFile(const std::string& path) {
    VariableAliasesFileParser parser(path);
    VariableAliasesFileWriter::NameGroups groups;
    for (StringList_s* list : parser.aliasesList()) {
        std::vector<std::string>& group = groups.emplace_back();
        const long count = QelUtilStringListGetCount(list);
        for (long position = 1; position <= count; ++position)
            if (const char* name = QelUtilStringListGetRawStringPtr(list, position))
                group.emplace_back(name);
    }
    return groups;
}

} // namespace

std::vector<std::string> VariableAliasesFileWriter::unwritableNames(const NameGroups& groups) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const std::vector<std::string>& group : groups) {
        for (const std::string& name : group) {
            if (name.find_first_of(";#") != std::string::npos && seen.insert(name).second)
                names.push_back(name);
        }
    }
    return names;
}

std::string VariableAliasesFileWriter::contents(const std::string& existingText,
                                                const NameGroups& existingGroups, const NameGroups& groups) {
    GroupsByName written;
    for (const std::vector<std::string>& group : existingGroups) {
        const std::set<std::string> names = namesOf(group);
        if (!names.empty())
            written.add(names);
    }
    std::string text = existingText.empty() ? std::string(header) : existingText;
    if (text.back() != '\n')
        text += '\n';
    for (const std::vector<std::string>& group : groups) {
        const std::set<std::string> names = namesOf(group);
        if (names.size() < 2 || written.holds(names))
            continue;
        written.add(names);
        text += joined(group) + '\n';
    }
    return text;
}

bool VariableAliasesFileWriter::save(const std::string& path, const NameGroups& groups) {
    const QString shownPath = QString::fromStdString(path);
    const std::vector<std::string> unwritable = unwritableNames(groups);
    if (!unwritable.empty()) {
        QStringList names;
        for (const std::string& name : unwritable)
            names.append(QStringLiteral("\"%1\"").arg(QString::fromStdString(name)));
        tellUser(tr("These variable names cannot be saved in an aliases file, where \";\" separates names "
                    "and \"#\" starts a comment: %1. Nothing was saved.")
                     .arg(names.join(QStringLiteral(", "))),
                 MessageBox_Error);
        return false;
    }
    std::string existingText;
    NameGroups existingGroups;
    if (QFileInfo::exists(shownPath)) {
        QString reason;
        if (!isAliasesFile(path, reason)) {
            tellUser(tr("%1 is not a variable aliases file that can be added to: %2 Nothing was saved.")
                         .arg(shownPath, reason),
                     MessageBox_Error);
            return false;
        }
        QFile file(shownPath);
        if (!file.open(QIODevice::ReadOnly)) {
            tellUser(tr("The aliases file %1 could not be read: %2. Nothing was saved.")
                         .arg(shownPath, file.errorString()),
                     MessageBox_Error);
            return false;
        }
        existingText = file.readAll().toStdString();
        existingGroups = groupsOfFile(path);
    }
    const std::string text = contents(existingText, existingGroups, groups);
    if (!QelAppStartupFileWrite(description, path.c_str(), text.data(), text.size())) {
        tellUser(tr("The aliases file %1 could not be written: %2 The earlier file is unchanged.")
                     .arg(shownPath, lastKernelError()),
                 MessageBox_Error);
        return false;
    }
    return true;
}

} // namespace qelmar::sdk::ui::postload
