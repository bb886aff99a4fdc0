#include "message_table.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace tessane {

namespace {

QHash<int, QString> loadTable() {
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/tessane/messages.json"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QJsonObject messages = QJsonDocument::fromJson(file.readAll()).object().value("messages").toObject();
    for (auto it = messages.begin(); it != messages.end(); ++it) {
        bool ok = false;
        int id = it.key().toInt(&ok);
        if (ok)
            table.insert(id, it.value().toString());
    }
    return table;
}

} // namespace

QString MessageText(int id) {
    static const QHash<int, QString> table = loadTable();
    return table.value(id);
}

int MessageForResult(int resultCode) {
    return resultCode <= -1 && resultCode >= -7 ? 39 - resultCode : 0;
}

} // namespace tessane
