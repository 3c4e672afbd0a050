#include "report/QRPrintable.h"

#include "report/QRBand.h"

TQRPrintable::TQRPrintable(TQRBand* band) : QObject(band), m_band(band)
{
    band->AddControl(this);
}

void TQRPrintable::SetBounds(int left, int top, int width, int height)
{
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}

void TQRPrintedTexts::Add(int page, const QString& text, const QString& name, const QRect& box)
{
    m_texts.append({page, box, text, name});
}

void TQRPrintedTexts::Add(int page, const QString& text, const QString& name,
                          std::function<QRect()> measure)
{
    m_unmeasured.emplace_back(m_texts.size(), std::move(measure));
    m_texts.append({page, QRect(), text, name});
}

const QList<TQRPrintedText>& TQRPrintedTexts::List() const
{
    for (auto& [index, measure] : m_unmeasured)
        m_texts[index].Box = measure();
    m_unmeasured.clear();
    return m_texts;
}

void TQRPrintedTexts::Clear()
{
    m_texts.clear();
    m_unmeasured.clear();
}
