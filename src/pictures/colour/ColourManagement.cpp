#include "ColourManagement.h"

#include "IccProfile.h"

#include <QColorSpace>

#include <lcms2.h>

#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace Colour {
namespace {

// QImage's 32-bit formats hold a pixel as one 32-bit word 0xAARRGGBB, in the machine's order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr cmsUInt32Number kImagePixels = TYPE_BGRA_8;
#else
constexpr cmsUInt32Number kImagePixels = TYPE_ARGB_8;
#endif

// The samples a conversion reads.
enum class Samples { Colour, Grey, Cmyk, CmykInverted };

// A conversion's source: a profile's bytes, or, without them, Adobe RGB or sRGB.
struct Origin {
    QByteArrayView icc;
    bool adobeRgb = false;
};

// Adobe RGB (1998) by its published primaries, white point and gamma, for photos that say so
// only in their EXIF data.
cmsHPROFILE createAdobeRgb(cmsContext context) {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(context, 563.0 / 256.0);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfileTHR(context, &white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    return profile;
}

class Engine {
public:
    using Transform = std::shared_ptr<void>;

    static Engine& instance() {
        static Engine engine;
        return engine;
    }

    bool setDisplay(const QByteArray& icc) {
        const IccProfile::Checked checked = IccProfile::check(icc);
        const bool usable = checked.space == IccProfile::Space::Rgb && checked.display;
        const std::lock_guard lock(m_mutex);
        m_display = usable ? checked.bytes.toByteArray() : QByteArray();
        m_transforms.clear();
        return usable || icc.isEmpty();
    }

    bool displayIsSrgb() {
        const std::lock_guard lock(m_mutex);
        return m_display.isEmpty();
    }

    int built() {
        const std::lock_guard lock(m_mutex);
        return m_built;
    }

    // The conversion from the origin's colours to the target's; null when none can be made.
    // It is built under the lock: pictures of one page mostly share their profile, and the
    // threads that load them would otherwise each build the same conversion.
    Transform transform(const Origin& origin, Samples samples, Target target) {
        const std::lock_guard lock(m_mutex);
        Key key{origin.icc.toByteArray(), origin.adobeRgb, samples, target};
        if (const auto found = m_transforms.find(key); found != m_transforms.end())
            return found->second;
        if (m_transforms.size() >= kMostKept)
            m_transforms.clear(); // a folder with this many profiles is rare; start again
        ++m_built;
        Transform made = build(origin, samples, target);
        m_transforms.emplace(std::move(key), made);
        return made;
    }

private:
    using Key = std::tuple<QByteArray, bool, Samples, Target>;
    static constexpr std::size_t kMostKept = 32;

    Engine() : m_context(cmsCreateContext(nullptr, nullptr)) {
        // Damaged profiles are expected input; their complaints are not news to print.
        cmsSetLogErrorHandlerTHR(m_context, [](cmsContext, cmsUInt32Number, const char*) {});
    }

    cmsHPROFILE open(QByteArrayView icc) const {
        return cmsOpenProfileFromMemTHR(m_context, icc.data(), cmsUInt32Number(icc.size()));
    }

    cmsHPROFILE openOrigin(const Origin& origin) const {
        if (!origin.icc.isEmpty())
            return open(origin.icc);
        return origin.adobeRgb ? createAdobeRgb(m_context) : cmsCreate_sRGBProfileTHR(m_context);
    }

    Transform build(const Origin& origin, Samples samples, Target target) const {
        static const std::map<Samples, cmsUInt32Number> kInput = {
            {Samples::Colour, kImagePixels},
            {Samples::Grey, TYPE_GRAY_8},
            {Samples::Cmyk, TYPE_CMYK_8},
            {Samples::CmykInverted, TYPE_CMYK_8_REV}};
        cmsHPROFILE from = openOrigin(origin);
        cmsHPROFILE to = target == Target::Display && !m_display.isEmpty()
                             ? open(m_display)
                             : cmsCreate_sRGBProfileTHR(m_context);
        const cmsUInt32Number flags = samples == Samples::Colour ? cmsFLAGS_COPY_ALPHA : 0;
        cmsHTRANSFORM transform =
            from && to ? cmsCreateTransformTHR(m_context, from, kInput.at(samples), to,
                                               kImagePixels, INTENT_PERCEPTUAL, flags)
                       : nullptr;
        if (from)
            cmsCloseProfile(from);
        if (to)
            cmsCloseProfile(to);
        return transform ? Transform(transform, cmsDeleteTransform) : Transform();
    }

    cmsContext m_context;
    std::mutex m_mutex;
    QByteArray m_display;
    std::map<Key, Transform> m_transforms;
    int m_built = 0;
};

// Qt's readers tag an image with the profile they found, and keep the bytes of one they cannot
// use in an invalid colour space: either would tell later readers the wrong colours.
void clearTag(QImage& image) {
    if (image.colorSpace() != QColorSpace())
        image.setColorSpace(QColorSpace());
}

// Runs the conversion over every row of `from` into the same row of `to` (which may be the
// same image). Conversions from grey or CMYK leave the alpha byte as it is, so `to` must come
// opaque.
void applyRows(const Engine::Transform& transform, const QImage& from, QImage& to) {
    for (int y = 0; y < to.height(); ++y)
        cmsDoTransform(transform.get(), from.constScanLine(y), to.scanLine(y),
                       cmsUInt32Number(to.width()));
}

QImage opaqueImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(0xff000000u);
    return image;
}

} // namespace

bool setDisplayProfile(const QByteArray& icc) {
    return Engine::instance().setDisplay(icc);
}

void convert(QImage& image, const ColourSource& source, Target target) {
    clearTag(image);
    if (image.isNull())
        return;
    const IccProfile::Checked profile = IccProfile::check(source.iccProfile);
    const bool grey = image.format() == QImage::Format_Grayscale8;
    const bool profileFits =
        grey ? profile.space == IccProfile::Space::Grey : profile.space == IccProfile::Space::Rgb;
    const Origin origin{profileFits ? profile.bytes : QByteArrayView(),
                        !profileFits && !grey && source.adobeRgbByExif};
    Engine& engine = Engine::instance();
    if (origin.icc.isEmpty() && !origin.adobeRgb &&
        (target == Target::Srgb || engine.displayIsSrgb()))
        return;

    if (grey && profileFits) {
        const auto transform = engine.transform(origin, Samples::Grey, target);
        if (!transform)
            return;
        QImage converted = opaqueImage(image.size());
        if (converted.isNull())
            return;
        applyRows(transform, image, converted);
        image = std::move(converted);
        return;
    }
    const auto transform = engine.transform(origin, Samples::Colour, target);
    if (!transform)
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    applyRows(transform, image, image);
}

bool isCmykProfile(const QByteArray& icc) {
    return IccProfile::check(icc).space == IccProfile::Space::Cmyk;
}

std::optional<QImage> fromCmyk(const uchar* samples, QSize size, const QByteArray& icc,
                               bool inverted, Target target) {
    const IccProfile::Checked profile = IccProfile::check(icc);
    if (profile.space != IccProfile::Space::Cmyk)
        return std::nullopt;
    const auto transform = Engine::instance().transform(
        {profile.bytes, false}, inverted ? Samples::CmykInverted : Samples::Cmyk, target);
    if (!transform)
        return std::nullopt;
    QImage image = opaqueImage(size);
    if (image.isNull())
        return std::nullopt;
    const qsizetype row = qsizetype(size.width()) * 4;
    for (int y = 0; y < size.height(); ++y)
        cmsDoTransform(transform.get(), samples + y * row, image.scanLine(y),
                       cmsUInt32Number(size.width()));
    return image;
}

int conversionsBuilt() {
    return Engine::instance().built();
}

} // namespace Colour
