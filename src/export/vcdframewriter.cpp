// ours
#include "vcdframewriter.h"

#include "surface.h"

// Qt
#include <QPainter>

// std
#include <cmath>
#include <utility>

namespace tarnwick {

namespace {

constexpr int kFramesPerSecond = 25;
// The album size whose picture goes into the frame as it is.
const QSize kVcdSize(352, 288);

int centred(int outer, int inner) { return static_cast<int>(std::nearbyint((outer - inner) / 2.0)); }

} // namespace

VcdFrameWriter::VcdFrameWriter(const Surface& display) : m_display(display) {}

VcdFrameWriter::~VcdFrameWriter() { finish(); }

const QImage& VcdFrameWriter::compose()
{
    const QImage& area = m_display.image();
    // The same size needs no composing: the area is the frame.
    if (albumSize == kVcdSize || area.size() == frameSize)
        return area;
    if (m_picView.size() != frameSize) {
        m_picView = QImage(frameSize, QImage::Format_RGB32);
        m_picView.fill(Qt::black);
    }
    QPainter painter(&m_picView);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(centred(frameSize.width(), area.width()), centred(frameSize.height(), area.height()), area);
    return m_picView;
}

void VcdFrameWriter::writeFrames(std::int16_t stillSeconds)
{
    if (m_stopped)
        return;
    if (m_fileName.isEmpty()) {
        if (AviFile.trimmed().isEmpty())
            return;
        m_fileName = AviFile;
    }
    if (!m_writer) {
        m_writer = std::make_unique<AviWriter>();
        m_writer->SetFileName(m_fileName);
        m_writer->SetSoundtrack(soundtrack);
    }
    const int count = stillSeconds == 0 ? 1 : stillSeconds * kFramesPerSecond;
    // A still's frame count is a 16-bit number: beyond 1310 seconds it
    // overflows and the still is dropped.
    if (count < 1 || count > INT16_MAX)
        return fail(QStringLiteral("Overflow"));
    const QImage& frame = compose();
    if (!m_writer->WRDIANSHI(frame, frameSize.width(), frameSize.height(), static_cast<std::int16_t>(count)))
        return fail(m_writer->LastError());
    m_composed = &frame == &m_picView;
    if (frameWritten)
        frameWritten();
}

void VcdFrameWriter::fail(const QString& description)
{
    if (std::exchange(m_failedOnce, true))
        return;
    if (showFailure)
        showFailure(description);
}

QImage VcdFrameWriter::picView() const
{
    return m_composed ? m_picView : m_display.image();
}

bool VcdFrameWriter::finish()
{
    if (!m_writer || m_writer->Finish())
        return true;
    m_finishError = m_writer->LastError();
    return false;
}

QString VcdFrameWriter::lastError() const
{
    return m_finishError.isEmpty() && m_writer ? m_writer->LastError() : m_finishError;
}

} // namespace tarnwick
