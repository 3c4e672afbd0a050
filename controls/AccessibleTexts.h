// The accessible interfaces of the program's text widgets, made by the accessibility factory
// of AccessibleControls.cpp.
#pragma once

class QAccessibleInterface;
class QLineEdit;
class QTextEdit;

// A one-line edit whose line, to a reader, is always its whole text.
QAccessibleInterface* NewLineEditAccessible(QLineEdit* edit);
// A read-only page of text (the help's topic): a document read line by line.
QAccessibleInterface* NewDocumentAccessible(QTextEdit* edit);
