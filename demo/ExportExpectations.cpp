#include "ExportExpectations.h"

#include "TourContext.h"

#include <QFile>
#include <QTextStream>

namespace qelmar::demo {

QString ExportExpectations::fileName() {
    return QStringLiteral("export-expectations.txt");
}

void ExportExpectations::clear(TourContext& tour) {
    QFile::remove(tour.filePath(fileName()));
}

void ExportExpectations::append(TourContext& tour, const QString& exportedFile, const QString& dimensions,
                                const QString& kind, const QStringList& details) {
    QFile expectations(tour.filePath(fileName()));
    if (!expectations.open(QIODevice::Append | QIODevice::Text)) {
        tour.fail(QStringLiteral("could not write %1").arg(fileName()));
        return;
    }
    QStringList fields{exportedFile, dimensions.isEmpty() ? QStringLiteral("-") : dimensions, kind};
    fields += details;
    QTextStream(&expectations) << fields.join(QLatin1Char('\t')) << '\n';
}

} // namespace qelmar::demo
