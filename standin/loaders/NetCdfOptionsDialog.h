#pragma once

#include "loaders/NetCdfFile.h"

#include <QDialog>

#include <string>
#include <vector>

class QDialogButtonBox;
class QListWidget;

namespace qelmar::standin {

// The NetCDF loader's options: which of the file's variables to load. Variables that cannot be
// loaded are listed disabled with the reason; those on another grid than the usual one unchecked,
// with their grid.
class NetCdfOptionsDialog : public QDialog {
    Q_OBJECT
public:
    NetCdfOptionsDialog(const std::string& fileName, const std::vector<NetCdfVariable>& variables,
                        QWidget* parent = nullptr);

    std::vector<std::string> chosenVariables() const;

private:
    void updateOkButton();

    QListWidget* m_variables;
    QDialogButtonBox* m_buttons;
};

} // namespace qelmar::standin
