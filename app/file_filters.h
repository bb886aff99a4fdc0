// File-dialog filters: the message table's "label|pattern|label|pattern" texts
// as Qt name filters.
#pragma once

#include <QString>
#include <QStringList>

class CTessane;

namespace tessane {

// One Qt name filter per label|pattern pair: "label (p1 p2)". The all-files
// pattern "*.*" becomes "*" so that names without a dot match too. A trailing
// label without a pattern is dropped.
QStringList QtNameFilters(const QString& filterText);

// The open dialog's filter text: all supported formats, each plug-in, all files.
QString OpenFilterText(const CTessane& host);
// The save-as dialog's: the document's plug-in, then all files.
QString SaveFilterText(const CTessane& host);

} // namespace tessane
