#include "VariableMatchTourSteps.h"

#include "TourContext.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QListView>
#include <QRegularExpression>
#include <QTextDocument>

namespace qelmar::demo {

const QString matchTitle = QStringLiteral("Variable Load and Combine");

int rowNamed(const QListView& view, const QString& name) {
    const QAbstractItemModel* model = view.model();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        QTextDocument shown;
        shown.setHtml(model->index(row, 0).data().toString());
        if (shown.toPlainText().split(QRegularExpression(QStringLiteral("[:;\\s]+"))).contains(name))
            return row;
    }
    return -1;
}

bool selectRow(TourContext& tour, QListView& view, const QString& name) {
    const int row = rowNamed(view, name);
    if (row < 0) {
        tour.fail(QStringLiteral("the list %1 shows no \"%2\"").arg(view.objectName(), name));
        return false;
    }
    view.selectionModel()->select(view.model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    return true;
}

} // namespace qelmar::demo
