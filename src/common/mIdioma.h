// Language texts: every caption and message is looked up by its key.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Loads the language file of the application folder into Textos / Idiomas.
// Returns false after the fatal message; the caller then ends the program.
bool CargaIdioma();

// Text of a key in the selected language; "???" (after a message) when missing.
QString Texto(const QString& key);

// Whether the key is loaded; asks nothing. For captions that must not raise a
// message of their own (the message box's own buttons).
bool HayTexto(const QString& key);

// Texts of each key in every language of the language file, for reading files
// written by a user of another language. A key the file lacks maps to nothing.
QHash<QString, QStringList> TextosEnTodosLosIdiomas(const QStringList& keys);

// The language menu's choice: stores the index as the "Language" setting and
// tells the user that it applies after a restart. The texts loaded stay as they are.
void CambiaIdioma(int index);
