#include "gui/FileFilter.h"

#include <QStringList>

QString qtFileFilter(const QString& pipeList)
{
    const QStringList parts = pipeList.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        const QString patterns =
            parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        const int open = name.lastIndexOf(QLatin1Char('('));
        if (name.endsWith(QLatin1Char(')')) && open >= 0)
            name.truncate(open);
        entries << QStringLiteral("%1 (%2)").arg(name.trimmed(), patterns);
    }
    return entries.join(QStringLiteral(";;"));
}
