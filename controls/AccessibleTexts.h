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

// Tells a screen reader the caret and the selection of `edit` again once the toolkit has told
// it of the focus (after the focus-in handler that calls this). A reader takes a caret moving
// in a focused field for the focus arriving unannounced and never says the field's name; an
// edit that changes its text or selection as it takes the focus calls this, and the reader
// passes over the earlier moves as superseded.
void RetellCaretAfterFocus(QLineEdit* edit);
