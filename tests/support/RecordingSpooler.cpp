#include "RecordingSpooler.h"

#include "Failure.h"

#include <QCryptographicHash>

void RecordingSpooler::refuseJobs(const QString &reason, int after)
{
    m_refusal = reason;
    m_refuseAfter = after;
}

LabelReceipt RecordingSpooler::submit(const PrintJob &job)
{
    if (m_refuseAfter >= 0 && jobs.size() >= m_refuseAfter)
        throw Failure(QStringLiteral("Printer \"%1\" refused the job: %2").arg(job.printerName, m_refusal));
    jobs.append(job);
    return {job.printerName, {}, job.title, JobRenderer::barcodeShortfalls(job, PrinterDots{}, 4 * kTwipsPerInch)};
}

static QString number(double twips)
{
    return QString::number(twips, 'g', 10);
}

QString RecordingSpooler::jobsAsText() const
{
    QString text;
    for (const PrintJob &job : jobs) {
        text += QStringLiteral("job '%1' to '%2' copies %3\n").arg(job.title, job.printerName).arg(job.copies);
        for (const PrintOp &op : job.ops) {
            const QString at = number(op.at.x()) + QLatin1Char(',') + number(op.at.y());
            switch (op.kind) {
            case PrintOp::Kind::Text:
                text += QStringLiteral("text %1 %2 %3%4 '%5'\n").arg(at, op.font.name, number(op.font.size),
                                                                   op.font.bold ? QStringLiteral(" bold") : QString(), op.text);
                break;
            case PrintOp::Kind::Box:
                text += QStringLiteral("box %1 %2,%3 colour %4\n").arg(at, number(op.to.x()), number(op.to.y())).arg(op.colour);
                break;
            case PrintOp::Kind::Picture:
            {
                const QImage image = op.picture.convertToFormat(QImage::Format_ARGB32);
                const QByteArrayView pixels(image.constBits(), image.sizeInBytes());
                text += QStringLiteral("picture %1 %2x%3 md5 %4\n").arg(at).arg(image.width()).arg(image.height())
                            .arg(QString::fromLatin1(QCryptographicHash::hash(pixels, QCryptographicHash::Md5).toHex()));
            }
                break;
            }
        }
    }
    return text;
}
