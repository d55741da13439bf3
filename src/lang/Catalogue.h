#pragma once

#include <QString>

// The catalogue text of a key. Both the choice file and the catalogue are read
// anew on every lookup, so an edit takes effect at once. A missing text is
// reported and ends the program.
QString GetText(const QString& key);

// For texts that older catalogues may lack: the fallback when the key is absent.
QString GetTextOr(const QString& key, const QString& fallback);

// True when a switch's text is "yes" in any mix of capital and small letters.
bool SwitchOn(const QString& key);

// The program's own messages. Catalogues of older releases may lack them, so
// each has an English default.
QString ToolStartFailedText(const QString& program);
QString WriteFailedText(const QString& file);
QString LineBreakText();
QString FatalErrorText();
