#pragma once

#include <QString>

// The MAC addresses of the demo network's nodes.
inline const QString kLocal = QStringLiteral("020A1B000001");
inline const QString kOffice = QStringLiteral("020A1B000002");
inline const QString kGarage = QStringLiteral("020A1B000003");
inline const QString kLab = QStringLiteral("020A1B000004");
inline const QString kNeighbour = QStringLiteral("020A1B000005");
inline const QString kAttic = QStringLiteral("020A1B000006");
inline const QString kStudy = QStringLiteral("020A1B000007");
