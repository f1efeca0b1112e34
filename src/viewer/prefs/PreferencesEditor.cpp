#include "PreferencesEditor.h"

#include "Settings.h"
#include "StringTable.h"

#include <algorithm>

namespace {
using StoredFields::kSliderCount;
using StoredFields::SliderField;
using StoredFields::sliders;

// The sum of the thumbnail geometry in a predefined format.
int formatSum(int format) {
    int sum = 0;
    for (const SliderField& field : sliders())
        sum += field.formats ? (*field.formats)[format] : 0;
    return sum;
}
} // namespace

PreferencesEditor::PreferencesEditor(Settings& settings)
    : m_settings(settings), m_password(settings.ProtectPassword), m_layout(layoutFor(false)) {
    ShowProtection(settings.ImageProtect);
    for (int i = 0; i < kSliderCount; ++i)
        setSlider(i, settings.*sliders()[i].member);
    m_controls.chkPropor = settings.Proportional == 1;
    m_controls.chkAleatorio = settings.RandomOrder == 1;
    m_controls.Valores = formatOf(settings);
}

void PreferencesEditor::setSlider(int slider, int value) {
    const StoredFields::SliderRange range = sliders()[slider].range;
    m_controls.sliders[slider] =
        static_cast<qint16>(std::clamp<int>(value, range.minimum, range.maximum));
}

void PreferencesEditor::setChecks(bool proportional, bool randomOrder, bool switchLanguage) {
    m_controls.chkPropor = proportional;
    m_controls.chkAleatorio = randomOrder;
    m_controls.Idioma = switchLanguage;
}

void PreferencesEditor::setPasswords(const QString& password, const QString& verification) {
    m_controls.Text1 = password;
    m_controls.Text2 = verification;
}

void PreferencesEditor::ShowProtection(int state) {
    const bool on = state == 1;
    m_controls.chkProtect = on;
    if (on) {
        m_controls.Text1 = m_password;
        m_controls.Text2 = m_password;
    } else {
        m_password.clear();
        m_controls.Text1.clear();
        m_controls.Text2.clear();
    }
    m_layout = layoutFor(on);
}

void PreferencesEditor::Valores_Click(int index) {
    if (index < SmallFormat || index > CustomFormat)
        return;
    m_controls.Valores = index;
    if (index == CustomFormat)
        return;
    for (int i = 0; i < kSliderCount; ++i) {
        if (const auto& formats = sliders()[i].formats)
            setSlider(i, (*formats)[index]);
    }
}

PreferencesEditor::OkOutcome PreferencesEditor::Bot_Ok_Click() {
    OkOutcome outcome;
    if (m_controls.chkProtect) {
        if (m_controls.Text1.isEmpty())
            outcome.refusal = kTextPasswordEmpty;
        else if (m_controls.Text2.isEmpty())
            outcome.refusal = kTextVerificationEmpty;
        else if (m_controls.Text1 != m_controls.Text2)
            outcome.refusal = kTextPasswordsDiffer;
        if (outcome.refusal)
            return outcome;
    }
    if (m_controls.Idioma) {
        m_settings.LanguageOffset = otherLanguage(m_settings.LanguageOffset);
        outcome.restartNotice = true;
    }
    for (int i = 0; i < kSliderCount; ++i)
        m_settings.*sliders()[i].member = m_controls.sliders[i];
    m_settings.Proportional = m_controls.chkPropor ? 1 : 0;
    m_settings.ImageProtect = m_controls.chkProtect ? 1 : 0;
    m_settings.ProtectPassword = m_controls.chkProtect ? m_controls.Text1 : QString();
    m_settings.RandomOrder = m_controls.chkAleatorio ? 1 : 0;
    return outcome;
}

int PreferencesEditor::formatOf(const Settings& settings) {
    // Summed without wrapping, so that values far outside the formats never meet a format's
    // sum by overflowing.
    int sum = 0;
    for (const SliderField& field : sliders())
        sum += field.formats ? settings.*field.member : 0;
    for (int format = SmallFormat; format < CustomFormat; ++format) {
        if (sum == formatSum(format))
            return format;
    }
    return CustomFormat;
}

PreferencesEditor::ProtectionLayout PreferencesEditor::layoutFor(bool protectionOn) {
    if (protectionOn)
        return {8400, 6960, 5760, {3600, 3720}, 7200};
    return {5850, 4494, 3300, {2400, 3740}, 4800};
}

qint16 PreferencesEditor::otherLanguage(qint16 languageOffset) {
    if (languageOffset == kSpanishOffset)
        return kEnglishOffset;
    if (languageOffset == kEnglishOffset)
        return kSpanishOffset;
    return languageOffset;
}
