#pragma once

#include "host/DialogsExport.h"
#include "host/QtDialogAbstract.h"

#include <memory>
#include <string>

class QWidget;
struct StringList_s;

namespace qelmar::dialogs::io {

// The modal "Variable Load and Combine" window. Once registered, the kernel calls it whenever
// the files of one load carry different variables; the user decides which variables the data set
// gets and which names of the files fill them.
class QELMAR_DIALOGS_EXPORT PostLoadOptionsDialog : public qelmar::sdk::ui::dialogs::QtDialogAbstract {
public:
    // What the host adds to the window; all off by default, and with all off the window is the
    // plain form.
    struct Additions {
        // A files x variables table below the lists: which name of each file fills each variable
        // to load, which variables a file leaves empty, and its names still unmatched.
        bool coveragePanel = false;
        // Variables to load that the available names probably mean, ranked; accepting one
        // combines that pair.
        bool suggestions = false;
        // An option of Apply: names of different files that share an alias group and match no
        // variable yet become one new variable.
        bool aliasesForNewVariables = false;
        // Saving this load's combinations as an aliases file, and choosing which file Apply reads.
        bool saveAliases = false;
    };
    // For the window that exists and every later one.
    static void setAdditions(const Additions& additions);
    static Additions additions();

    // The aliases file the next window's Apply reads, for a host that remembers it between
    // sessions; empty stands for the kernel's located default. Until a host sets one, the window
    // keeps the located default. Choosing or saving an aliases file in the window sets it too,
    // so the host reads the user's last choice here.
    static void setAliasesFilePath(const std::string& path);
    static std::string aliasesFilePath();

    // Registers the kernel callback once; later calls do nothing. The parent must outlive the
    // registration: the callback opens the dialog over it.
    static void registerCallback(QWidget& parent);
    // The one dialog, created with `parent` on the first call; later calls ignore the argument.
    // The dialog is a Qt child of that parent, which deletes it; the caller does not own it. A
    // host may delete it earlier, and the next call then makes a new one.
    static PostLoadOptionsDialog* getInstance(QWidget& parent);

    explicit PostLoadOptionsDialog(QWidget& parent);
    ~PostLoadOptionsDialog() override;

private:
    // The kernel's callback. The lists it is given stay the kernel's; the answer is a new list
    // that the kernel takes over (it frees it), or null when the user cancelled.
    static StringList_s* static_matchVariablesCallback(StringList_s* existing, StringList_s* const* incoming,
                                                       long incomingCount, void* clientData);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
