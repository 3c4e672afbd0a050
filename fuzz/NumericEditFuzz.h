// Key sequences, pastes, selections and focus changes into the two numeric edits, configured as
// the calculator window configures them, through the same key routine the window's keys take.
// Shared by the fuzz target and the corpus replay test; needs the application object (offscreen).
//
// Input: byte 0 chooses the edit and its configuration, byte 1 the regional settings, then one
// operation per byte with its arguments in the bytes after it.
#pragma once

#include "calc/Errors.h"
#include "controls/CustomNumEdit.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "controls/NumberFormats.h"
#include "fuzz/NumberTextFuzz.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/Regional.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace fuzz {

namespace edits {

// What the user can type or paste: the characters of numbers under both settings, signs and
// symbols, letters, blanks and a few characters from outside ASCII.
inline QChar Character(std::uint8_t b)
{
    static const char16_t alphabet[] = u"0123456789012345.,-+eE $%()a'\u00a0\u20ac\t\n\u0660";
    return QChar(alphabet[b % (std::size(alphabet) - 1)]);
}

struct Key {
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
};
inline const Key keys[] = {
    {Qt::Key_Backspace, Qt::NoModifier, "\b"},
    {Qt::Key_Delete, Qt::NoModifier, ""},
    {Qt::Key_Left, Qt::NoModifier, ""},
    {Qt::Key_Right, Qt::NoModifier, ""},
    {Qt::Key_Home, Qt::NoModifier, ""},
    {Qt::Key_End, Qt::NoModifier, ""},
    {Qt::Key_Left, Qt::ShiftModifier, ""},
    {Qt::Key_Right, Qt::ShiftModifier, ""},
    {Qt::Key_Home, Qt::ShiftModifier, ""},
    {Qt::Key_End, Qt::ShiftModifier, ""},
    {Qt::Key_Return, Qt::NoModifier, "\r"},
    {Qt::Key_Escape, Qt::NoModifier, "\x1b"},
    {Qt::Key_A, Qt::ControlModifier, "\x01"},
    {Qt::Key_C, Qt::ControlModifier, "\x03"},
    {Qt::Key_V, Qt::ControlModifier, "\x16"},
    {Qt::Key_X, Qt::ControlModifier, "\x18"},
    {Qt::Key_Z, Qt::ControlModifier, "\x1a"},
    {Qt::Key_Insert, Qt::ShiftModifier, ""},
    {Qt::Key_Insert, Qt::ControlModifier, ""},
    {Qt::Key_Delete, Qt::ShiftModifier, ""},
    {Qt::Key_Backspace, Qt::ControlModifier, "\x7f"},
};

// The edits of the window and the ways they are set up there, plus a masked edit that checks
// its range (which the controls offer and the window does not use).
enum class Kind { Price, Fee, Result, Ranged, Rate, Term, Apr, Signed, Count };

struct Harness {
    std::unique_ptr<QWidget> window;
    QLineEdit* other = nullptr;
    std::string fault;
    int conversionErrors = 0;
    int messages = 0;

    Harness()
    {
        window = std::make_unique<QWidget>();
        window->resize(300, 100);
        other = new QLineEdit(window.get());
        other->setGeometry(0, 50, 100, 22);
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    void Fail(const std::string& what)
    {
        if (fault.empty())
            fault = what;
    }
};

inline void SendKey(QWidget* to, const Key& k)
{
    QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, QString::fromLatin1(k.text));
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, QString::fromLatin1(k.text));
    QCoreApplication::sendEvent(to, &release);
}

inline void TypeCharacter(QWidget* to, QChar c)
{
    const int key = c >= '0' && c <= '9' ? Qt::Key_0 + (c.unicode() - '0') : Qt::Key_unknown;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(to, &press);
}

} // namespace edits

// Returns an empty text when every check holds, else what went wrong.
inline std::string RunNumericEdit(const std::uint8_t* data, std::size_t size)
{
    using namespace edits;
    static Harness* harness = new Harness; // lives as long as the process
    Harness& h = *harness;
    QApplication::setActiveWindow(h.window.get());
    // Every run starts alike: the focus outside the edit, nothing on the clipboard.
    h.other->setFocus(Qt::OtherFocusReason);
    QGuiApplication::clipboard()->clear();
    h.fault.clear();
    h.conversionErrors = 0;
    h.messages = 0;

    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
    const Kind kind = static_cast<Kind>(next() % static_cast<int>(Kind::Count));
    const TFormatSettings saved = Regional::Current();
    Regional::Current() = numbers::Settings(next() % 2);
    const TFormatSettings& s = Regional::Current();

    const TExceptionHook trap([&h](QObject*, const std::exception& e) {
        if (dynamic_cast<const calc::EConvertError*>(&e))
            ++h.conversionErrors; // a text such as "-" left in a masked edit
        else
            h.Fail(std::string("unexpected error: ") + e.what());
    });
    SetMessageBoxHook([&h](const MessageBoxRecord&) {
        ++h.messages;
        return ModalResult::mrOk;
    });

    TNumEdit* num = nullptr;
    TFnpNumericEdit* fnp = nullptr;
    TKeyRoutedEdit* edit = nullptr;
    switch (kind) {
    case Kind::Price:
    case Kind::Fee:
    case Kind::Result:
    case Kind::Ranged:
        num = new TNumEdit(h.window.get());
        num->SetDecimals(2);
        num->SetDigits(12);
        num->SetUseRounding(true);
        num->SetValue(kind == Kind::Price ? 100000 : kind == Kind::Result ? 1 : 0);
        num->SetMin(kind == Kind::Price || kind == Kind::Result ? 1 : 0);
        if (kind == Kind::Result)
            num->setReadOnly(true);
        if (kind == Kind::Ranged) {
            num->SetMin(-1000);
            num->SetMax(1000000);
            num->SetValidate(true);
        }
        edit = num;
        break;
    default:
        fnp = new TFnpNumericEdit(h.window.get());
        fnp->SetAlignment(taCenter);
        fnp->SetDecimals(kind == Kind::Term ? 0 : kind == Kind::Signed ? 2 : 3);
        fnp->SetMinValue(kind == Kind::Term ? 1 : kind == Kind::Signed ? -100 : 0);
        if (kind == Kind::Signed)
            fnp->SetMaxValue(100);
        fnp->SetValue(kind == Kind::Term ? 30 : kind == Kind::Rate ? 8.75 : 0);
        if (kind == Kind::Apr)
            fnp->setReadOnly(true);
        edit = fnp;
        break;
    }
    edit->setGeometry(0, 0, 85, 22);
    edit->show();

    const QString sep(s.DecimalSeparator);
    const QRegularExpression fixedPoint(
        fnp ? QString("^-?[0-9]+%1$")
                  .arg(fnp->Decimals() > 0 ? QRegularExpression::escape(sep) +
                                                 QString("[0-9]{%1}").arg(fnp->Decimals())
                                           : QString())
            : QString());
    bool entered = false; // the masked edit is between an accepted entry and exit

    auto checkValue = [&] {
        if (num) {
            if (!std::isfinite(num->Value()))
                h.Fail("Value is not finite");
            if (num->Validate() && (num->Value() < num->Min() || num->Value() > num->Max()))
                h.Fail("Value outside the limits the edit enforces");
            return;
        }
        if (!fixedPoint.match(fnp->text()).hasMatch()) {
            h.Fail("the text is not a fixed-point number: " + fnp->text().toStdString());
            return;
        }
        double v = 0;
        if (!NumberFormats::TryTextToFloat(fnp->text(), v, s) || !std::isfinite(v))
            h.Fail("Value cannot be read: " + fnp->text().toStdString());
    };
    // After typed characters: one "-" and one decimal separator at most, and the text grew
    // only within the character limit.
    auto checkTyping = [&](qsizetype lengthBefore) {
        checkValue();
        if (!num || !entered)
            return;
        const QString t = num->text();
        if (t.count('-') > 1 || t.count(s.DecimalSeparator) > 1)
            h.Fail("a second minus or decimal separator was taken: " + t.toStdString());
        if (t.size() > lengthBefore && num->MaxLength() > 0 && t.size() > num->MaxLength())
            h.Fail("the text grew past the character limit: " + t.toStdString());
        if (num->MaxLength() > num->Digits() + 2)
            h.Fail("the character limit grew past Digits and one each for sign and separator");
    };
    auto focusEdit = [&](Qt::FocusReason reason) {
        const bool wasFocused = edit->hasFocus();
        edit->setFocus(reason);
        if (num && !wasFocused && edit->hasFocus() && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason)
            entered = true;
    };
    auto focusOther = [&](Qt::FocusReason reason) {
        if (!edit->hasFocus())
            return;
        const int errors = h.conversionErrors;
        const int messages = h.messages;
        h.other->setFocus(reason);
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return;
        if (num && h.conversionErrors == errors && h.messages == messages)
            entered = false;
        checkValue();
    };

    while (at < size && h.fault.empty()) {
        QWidget* focus = QApplication::focusWidget();
        const bool typing = focus == edit;
        const qsizetype lengthBefore = edit->text().size();
        switch (next() % 9) {
        case 0:
            if (typing) {
                TypeCharacter(edit, Character(next()));
                checkTyping(lengthBefore);
            }
            break;
        case 1:
            if (typing) {
                SendKey(edit, keys[next() % std::size(keys)]);
                checkTyping(lengthBefore);
            }
            break;
        case 2: { // a paste of up to 15 characters
            QString text;
            for (int n = next() % 16; n > 0; --n)
                text += Character(next());
            QGuiApplication::clipboard()->setText(text);
            if (typing) {
                SendKey(edit, {Qt::Key_V, Qt::ControlModifier, "\x16"});
                checkValue();
            }
            break;
        }
        case 3: { // a selection made with the mouse
            const int length = static_cast<int>(edit->text().size());
            const int start = next() % (length + 1);
            edit->setSelection(start, next() % (length - start + 1));
            break;
        }
        case 4: focusOther(next() % 2 ? Qt::TabFocusReason : Qt::MouseFocusReason); break;
        case 5: focusEdit(next() % 2 ? Qt::TabFocusReason : Qt::MouseFocusReason); break;
        case 6: // a menu or another window takes the focus and gives it back
            focusOther(Qt::PopupFocusReason);
            focusEdit(next() % 2 ? Qt::PopupFocusReason : Qt::ActiveWindowFocusReason);
            break;
        case 7: { // text committed by an input method
            QInputMethodEvent event;
            QString text;
            for (int n = next() % 4; n > 0; --n)
                text += Character(next());
            event.setCommitString(text);
            if (typing) {
                QCoreApplication::sendEvent(edit, &event);
                checkTyping(lengthBefore);
            }
            break;
        }
        case 8: { // the window writes a value
            const double v = static_cast<std::int16_t>(next() << 8 | next()) / 8.0;
            if (num && !entered)
                num->SetValue(v);
            else if (fnp && !typing && (v >= 0 || kind == Kind::Signed))
                fnp->SetValue(v);
            checkValue();
            break;
        }
        }
    }

    // Leaving the edit: the shown text reads back as Value, and a second round trip changes
    // nothing more.
    if (h.fault.empty()) {
        focusOther(Qt::TabFocusReason);
        if (num && !entered && !edit->hasFocus()) {
            const double v = num->Value();
            const int messages = h.messages;
            focusEdit(Qt::TabFocusReason);
            focusOther(Qt::TabFocusReason);
            const double once = num->Value();
            focusEdit(Qt::TabFocusReason);
            focusOther(Qt::TabFocusReason);
            if (h.messages == messages && !entered) {
                if (std::fabs(once - v) > numbers::Tolerance(v, num->Decimals(), num->Digits()))
                    h.Fail("the shown text reads back as another value");
                if (num->Value() != once)
                    h.Fail("a second round trip changed Value");
            }
        } else if (fnp) {
            checkValue();
        }
    }

    delete edit;
    QCoreApplication::processEvents();
    SetMessageBoxHook({});
    Regional::Current() = saved;
    return h.fault;
}

} // namespace fuzz
