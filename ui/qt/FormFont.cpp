#include "FormFont.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>
#include <vector>

namespace Backend {
namespace {

// How far a face may be tightened or shrunk to fit: letters may move closer by
// a quarter pixel each, and the size may shrink to four fifths; beyond that the
// text no longer passes for the designed one. Qt renders whole pixel sizes only.
constexpr qreal tightestSpacing = -0.25;
constexpr qreal smallestShare = 0.8;

// No face the program uses comes near this; a larger file is not one of them.
constexpr off_t largestFace = 16 * 1024 * 1024;

struct Label {
    QString caption;
    Bounds bounds;
    bool sizesItself;
};

std::vector<Label> labelsOf(const FormDefinition& definition)
{
    std::vector<Label> labels;
    for (const ControlDefinition& control : definition.controls) {
        if (control.kind == ControlKind::Label && !control.caption.empty())
            labels.push_back({QString::fromUtf8(control.caption.data(), static_cast<qsizetype>(control.caption.size())),
                              control.bounds, control.autoSize == AutoSize::Yes});
    }
    return labels;
}

QFont sized(const QString& family, int pixels, qreal spacing = 0)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    if (spacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

struct Measurement {
    qreal worstMiss = 0;  // the largest difference of a self-sizing label from its designed size
    qreal spacingToFit = 0;  // below 0: how much closer the letters must move for every fixed-size label to fit
};

Measurement measure(const QFont& font, const std::vector<Label>& labels)
{
    const QFontMetricsF metrics(font);
    Measurement result;
    for (const Label& label : labels) {
        const qreal width = std::ceil(metrics.horizontalAdvance(label.caption));
        if (label.sizesItself) {
            result.worstMiss = std::max({result.worstMiss, std::abs(width - label.bounds.width),
                                         std::abs(std::ceil(metrics.height()) - label.bounds.height)});
        } else {
            const qreal room = label.bounds.width - fixedLabelMargin - width;
            result.spacingToFit = std::min(result.spacingToFit, room / static_cast<qreal>(label.caption.size()));
        }
    }
    return result;
}

struct Fit {
    QFont font;
    qreal worstMiss;
};

// The face at the designed size, or tightened and then smaller as far as every
// fixed-size label needs to hold its whole text; nothing where that is too far.
std::optional<Fit> fit(const QString& family, int designedPixels, const std::vector<Label>& labels)
{
    for (int pixels = designedPixels; pixels >= designedPixels * smallestShare; --pixels) {
        QFont font = sized(family, pixels);
        Measurement measurement = measure(font, labels);
        if (measurement.spacingToFit < 0 && measurement.spacingToFit >= tightestSpacing) {
            // Whole hundredths, rounded towards tighter, so the text surely fits.
            font = sized(family, pixels, std::floor(measurement.spacingToFit * 100) / 100);
            measurement = measure(font, labels);
        }
        if (measurement.spacingToFit >= 0)
            return Fit{font, measurement.worstMiss};
    }
    return std::nullopt;
}

// The families of the face in a file, read only where it is a regular file of
// a face's size: a pipe or a device put in its place would block the start or
// never end. Opening does not wait for a pipe's writer.
QStringList loadFace(const QString& path)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return {};
    struct stat status {};
    QByteArray face;
    if (::fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= largestFace) {
        face.resize(static_cast<qsizetype>(status.st_size));
        qsizetype got = 0;
        while (got < face.size()) {
            const ssize_t now = ::read(file, face.data() + got, static_cast<std::size_t>(face.size() - got));
            if (now <= 0 && !(now < 0 && errno == EINTR))
                break;
            got += now > 0 ? now : 0;
        }
        face.truncate(got);
    }
    ::close(file);
    const int id = face.isEmpty() ? -1 : QFontDatabase::addApplicationFontFromData(face);
    return id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
}

bool acceptable(const std::optional<Fit>& fit)
{
    return fit && fit->worstMiss <= designedSizeTolerance;
}

}  // namespace

QFont formFont(const FormDefinition& definition, qreal deviceRatio)
{
    const QString designedFamily = QString::fromUtf8(definition.font.family.data(),
                                                     static_cast<qsizetype>(definition.font.family.size()));
    const int designedPixels = definition.font.pixelHeight;
    const std::vector<Label> labels = labelsOf(definition);

    // The designed face is a pixel font: sharp only where one form pixel is one
    // device pixel. The build puts it beside the program's folder.
    const bool pixelForPixel = deviceRatio == 1;
    if (pixelForPixel) {
        static const QStringList designedFace =
            loadFace(QCoreApplication::applicationDirPath() + QStringLiteral("/" LOTTO_FONTS_FROM_PROGRAM "/" LOTTO_DESIGNED_FACE));
        if (std::optional<Fit> designed = fit(designedFamily, designedPixels, labels); acceptable(designed))
            return designed->font;
    }

    // Otherwise a scalable face: the free replacement that matches the designed
    // metrics best first, then whatever is installed, each measured.
    static const QStringList replacement = loadFace(QStringLiteral(LOTTO_SCALABLE_FACE));
    for (const QString& family : replacement) {
        if (std::optional<Fit> fitted = fit(family, designedPixels, labels); acceptable(fitted))
            return fitted->font;
    }
    std::optional<Fit> closest;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (family == designedFamily || !QFontDatabase::isScalable(family) || QFontDatabase::isFixedPitch(family))
            continue;
        std::optional<Fit> fitted = fit(family, designedPixels, labels);
        if (fitted && (!closest || fitted->worstMiss < closest->worstMiss))
            closest = std::move(fitted);
    }
    return closest ? closest->font : sized(designedFamily, designedPixels);
}

}  // namespace Backend
