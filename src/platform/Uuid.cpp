#include "Uuid.h"

#include <QUuid>

QString Uuid::uuidString() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }
