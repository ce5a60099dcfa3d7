#pragma once

#include <QString>

// The main window's fixed texts, exactly as the user sees them.
namespace pennoro::texts {

inline const QString applicationTitle = QStringLiteral("Pennoro");
inline const QString captionPrefix = QStringLiteral("Pennoro Ver 2.0 - ");
inline const QString normalCaption = captionPrefix + QStringLiteral("Normal");

} // namespace pennoro::texts
