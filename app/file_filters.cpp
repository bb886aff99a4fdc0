#include "file_filters.h"

#include "message_table.h"
#include "tessane_data.h"

namespace tessane {

namespace {

// Label texts may carry their patterns already ("All files (*.*)"); Qt reads
// the patterns from the parentheses, so they are replaced by the Qt form.
QString NameFilter(QString label, const QString& patterns) {
    label = label.trimmed();
    if (label.endsWith(QLatin1Char(')'))) {
        const qsizetype open = label.lastIndexOf(QLatin1Char('('));
        if (open > 0)
            label = label.left(open).trimmed();
    }
    QStringList qtPatterns;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        qtPatterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return QStringLiteral("%1 (%2)").arg(label, qtPatterns.join(QLatin1Char(' ')));
}

QString FromHost(const std::string& text) { return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

QStringList QtNameFilters(const QString& filterText) {
    const QStringList fields = filterText.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2)
        filters << NameFilter(fields.at(i), fields.at(i + 1));
    return filters;
}

QString OpenFilterText(const CTessane& host) {
    QString allSupported;
    QString perPlugin;
    for (int32_t i = 0; i < host.PluginCount(); ++i) {
        allSupported += FromHost(host.PluginFilter(i)) + QLatin1Char(';');
        perPlugin += QLatin1Char('|') + FromHost(host.PluginTypeName(i)) + QLatin1Char('|') + FromHost(host.PluginFilter(i));
    }
    return MessageText(MsgFilterAllSupported) + QLatin1Char('|') + allSupported + perPlugin + QLatin1Char('|') +
           MessageText(MsgFilterAllFiles);
}

QString SaveFilterText(const CTessane& host) {
    return FromHost(host.PluginTypeName(host.PluginIndex)) + QLatin1Char('|') +
           FromHost(host.PluginFilter(host.PluginIndex)) + QLatin1Char('|') + MessageText(MsgFilterAllFiles);
}

} // namespace tessane
