#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// The child of a window with the given object name; a test cannot go on without it.
template <typename T> T *findNamed(const QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (found == nullptr) {
        qFatal("no child %s", name);
    }
    return found;
}
