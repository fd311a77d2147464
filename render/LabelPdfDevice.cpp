#include "LabelPdfDevice.h"

#include "LabelPdfEngine.h"
#include "PrintJob.h"

#include <cmath>

LabelPdfDevice::LabelPdfDevice(QIODevice *out) : m_engine(std::make_unique<LabelPdfEngine>(out)) {}

LabelPdfDevice::~LabelPdfDevice() = default;

void LabelPdfDevice::setTitle(const QString &title)
{
    m_engine->info.title = title;
}

void LabelPdfDevice::setCreator(const QString &creator)
{
    m_engine->info.creator = creator;
}

void LabelPdfDevice::setCopies(int copies)
{
    m_engine->info.copies = std::max(1, copies);
}

QPaintEngine *LabelPdfDevice::paintEngine() const
{
    return m_engine.get();
}

int LabelPdfDevice::metric(PaintDeviceMetric metric) const
{
    constexpr double kMillimetresPerInch = 25.4;
    switch (metric) {
    case PdmWidth:
        return kWidthTwips;
    case PdmHeight:
        return kHeightTwips;
    case PdmWidthMM:
        return int(std::lround(kWidthTwips / kTwipsPerInch * kMillimetresPerInch));
    case PdmHeightMM:
        return int(std::lround(kHeightTwips / kTwipsPerInch * kMillimetresPerInch));
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return int(kTwipsPerInch);
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}
