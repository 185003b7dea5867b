#include "ui/about/AboutBox.h"

#include "ui/Addresses.h"
#include "ui/FormLayout.h"
#include "ui/Pictures.h"

#include <iterator>
#include <string>

namespace lum {

namespace {

using platform::ControlKind;
using platform::Font;
using platform::kHighlightText;
using platform::TextAlign;
using namespace ui::colors;
using namespace ui::rows;
using enum AboutControl;

constexpr Font kText{"Arial", 12, kHighlightText};
constexpr Font kLinkText{"Arial", 13, kHighlightText};

// The two links show the maker's addresses.
const std::string kDownloadLine = std::string(ui::kDownloadPage) + " heruntergeladen werden.";

// clang-format off
constexpr ui::ControlRow<AboutControl, Taboutw> kControls[] = {
    // Key   Name       Kind                 Bounds                    Caption                                                        Font       Colour  Align  Parent Click                    Change   Min Max Hand
    {Label6,  "Label6",  kLabel,             {16, 8, kAuto, kAuto},    "Winamp Lum Plugin 2.4 SE  (c) the Lum team",                 kText},
    {Label7,  "Label7",  kLabel,             {16, 32, kAuto, kAuto},   "Die neuste Version kann auf",                                kText},
    {Label8,  "Label8",  kLabel,             {16, 48, kAuto, kAuto},   "",                                                           kText,     {},     kLeft, {},    &Taboutw::OnHomePageClick,   nullptr, 0,  0,  true},
    {Label9,  "Label9",  kLabel,             {16, 80, kAuto, kAuto},   " ",                                                          kText},
    {Label16, "Label16", kLabel,             {16, 96, kAuto, kAuto},   "",                                                           Font{"Arial", 12, kWhite}},
    {Label1,  "Label1",  kLabel,             {16, 128, kAuto, kAuto},  "Dank an:",                                                   kText},
    {Label2,  "Label2",  kLabel,             {16, 144, kAuto, kAuto},  "- den, der die Idee zu diesem Plugin hatte,",                kText},
    {Label3,  "Label3",  kLabel,             {16, 160, kAuto, kAuto},  "- alle, die die Programmierung unterst\xFCtzt haben,",       kText},
    {Label17, "Label17", kLabel,             {16, 176, kAuto, kAuto},  "- alle Betatester",                                          kText},
    {Label18, "Label18", kLabel,             {16, 192, kAuto, kAuto},  "  und alle Benutzer,",                                       kText},
    {Label5,  "Label5",  kLabel,             {16, 216, kAuto, kAuto},  "- den Autor der Anleitung zum Schreiben",                    kText},
    {Label10, "Label10", kLabel,             {16, 232, kAuto, kAuto},  "  von Plugins f\xFCr Winamp",                                kText},
    {Label11, "Label11", kLabel,             {16, 256, kAuto, kAuto},  "- und alle, die ich vergessen habe.",                        kText},
    {Label12, "Label12", kLabel,             {16, 280, kAuto, kAuto},  "Die serielle Schnittstelle steuert die Komponente",          kText},
    {Label13, "Label13", kLabel,             {16, 296, kAuto, kAuto},  "TSerialPortNG, nach ihrem Vorbild neu geschrieben.",         kText},
    {Image1,  "Image1",  ControlKind::Image, {320, 8, 321, 249},       "",                                                           {},        kBlack},
    {Label14, "Label14", kLabel,             {328, 256, kAuto, kAuto}, " Anleitung zum Anschliessen des Displays unter:  ",          kLinkText},
    {Label15, "Label15", kLabel,             {352, 280, kAuto, kAuto}, ui::kConnectionPage,                                          kLinkText, {},     kLeft, {},    &Taboutw::OnInstructionsClick,  nullptr, 0,  0,  true},
    {Panel1,  "Panel1",  ControlKind::RaisedPanel, {584, 282, 49, 23}, "OK",                                                         ui::kPanelButtonFont, kButtonGrey, TextAlign::Center, {}, &Taboutw::OnOkClick},
};

constexpr platform::FormArgs kWindow = {
    // Name    Caption Style                        Bounds                Outer  Centred TopMost Colour  Font
    "aboutw", "Info", platform::FormStyle::Dialog, {201, 151, 646, 318}, false, false,  false,  kBlack, kText};
// clang-format on
static_assert(std::size(kControls) == static_cast<std::size_t>(AboutControl::Count));
static_assert(ui::RowsInIdOrder(kControls));

} // namespace

Taboutw::Taboutw(UiContext& context) : context_(context) {
    form_ = context_.Ui.CreateForm(kWindow);
    ui::CreateControls(*form_, kControls, *this, controls_);
    controls_[static_cast<std::size_t>(Label8)]->SetText(kDownloadLine);
    controls_[static_cast<std::size_t>(Image1)]->SetPicture(ui::AboutPicture());
}

Taboutw::~Taboutw() = default;

void Taboutw::OnOkClick() {
    form_->Hide();
}

void Taboutw::OnHomePageClick() {
    context_.Ui.OpenAddress(*form_, ui::kDownloadPage);
}

void Taboutw::OnInstructionsClick() {
    context_.Ui.OpenAddress(*form_, ui::kConnectionPage);
}

} // namespace lum
