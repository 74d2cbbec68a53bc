#pragma once

#include <QString>
#include <QStringList>

namespace qelmar::demo {

class TourContext;

// What check-tour.sh is to find in each file the tour exports, one line per file in the tour
// folder's "export-expectations.txt": tab-separated, the file's name, the dimensions text the
// export dialog showed ("-" where it shows none) and the kind of file, then optional
// "key=value" details such as frames=24, rate=12, codec=ffv1 or text=Temperature.
class ExportExpectations {
public:
    static QString fileName();
    // Forgets the expectations of an earlier tour into the same folder.
    static void clear(TourContext& tour);
    static void append(TourContext& tour, const QString& exportedFile, const QString& dimensions,
                       const QString& kind, const QStringList& details = {});
};

} // namespace qelmar::demo
