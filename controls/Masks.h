// The three display masks of a masked numeric edit, one section each of the mask text.
#pragma once

#include <QObject>
#include <QString>

class TMasks : public QObject {
    Q_OBJECT

public:
    // A mask is at most this many characters; longer ones are cut.
    static constexpr int MaxMaskLength = 25;

    explicit TMasks(QObject* parent = nullptr) : QObject(parent) {}

    QString PositiveMask() const { return m_positive; }
    QString NegativeMask() const { return m_negative; }
    QString ZeroMask() const { return m_zero; }
    void SetPositiveMask(const QString& mask) { Set(m_positive, mask); }
    void SetNegativeMask(const QString& mask) { Set(m_negative, mask); }
    void SetZeroMask(const QString& mask) { Set(m_zero, mask); }

    // The mask text of all three: positive;negative;zero.
    QString Combined() const { return m_positive + ';' + m_negative + ';' + m_zero; }

signals:
    // After any mask changed (the owning edit refreshes its text).
    void OnChange(TMasks* masks);

private:
    void Set(QString& field, const QString& mask);

    QString m_positive = QStringLiteral("#,##0");
    QString m_negative;
    QString m_zero;
};
