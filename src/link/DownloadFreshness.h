// Whether a download file still is what its project generates: the send
// confirmation warns about a file that is not, however recent its date.
#pragma once

#include <QByteArray>
#include <QString>

// Composes the download file of the saved project in `folder` (protocol "LON" or
// "MBS6") and compares it with `file`, leaving out the checksum and the date in
// the header. False when they differ or the project generates no file now. Shows
// nothing; the current project globals are those of `folder` afterwards.
bool downloadMatchesProject(const QString& folder, const QString& protocol, const QByteArray& file);
