// A small reader of rich text (RTF): enough for the texts the program shows
// (paragraphs, line breaks, tabs, accents, Unicode, bold, italic, underline,
// alignment, font size). Qt reads no RTF, so the program carries its own.
#pragma once

#include <QByteArray>
#include <QChar>

class QTextDocument;

namespace ui {

// True when the bytes begin the way every RTF file does ("{\rtf").
bool isRtf(const QByteArray& bytes);

// Replaces the document's content with the text and formats read from RTF
// bytes. Never fails: of damaged input (unbalanced braces, cut control words,
// absurd numbers, deep nesting) it keeps what it can read, in one pass.
void readRtf(const QByteArray& bytes, QTextDocument& doc);

// A byte of Windows code page 1252 as a character; the five bytes the code
// page leaves undefined give the control characters of the same value.
QChar windows1252(unsigned char byte);

}  // namespace ui
