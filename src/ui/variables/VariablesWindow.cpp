#include "ui/variables/VariablesWindow.h"

#include "ui/FormLayout.h"
#include "ui/Pictures.h"

#include <iterator>

namespace lum {

namespace {

using platform::ControlKind;
using platform::Font;
using platform::kHighlightText;
using platform::TextAlign;
using namespace ui::colors;
using namespace ui::rows;
using enum BefehleControl;

constexpr Font kText{"Arial", 12, kHighlightText};
/// The two columns, and the rows 24 pixels apart from y 40.
constexpr int kLeftColumn = 16;
constexpr int kRightColumn = 248;
constexpr int Row(int row) {
    return 40 + 24 * row;
}

// clang-format off
constexpr ui::ControlRow<BefehleControl, Tbefehle> kControls[] = {
    // Key   Name       Kind    Bounds                                Caption                                                    Font
    {Label6,  "Label6",  kLabel, {16, 8, kAuto, kAuto},               "Hier eine \xDC" "bersicht der m\xF6glichen Variablen:",  kText},
    {Label1,  "Label1",  kLabel, {kLeftColumn, Row(0), kAuto, kAuto},  "%titel - Zeigt Titel und Interpreten",                   kText},
    {Label5,  "Label5",  kLabel, {kRightColumn, Row(0), kAuto, kAuto}, "%status - Zeigt den Abspielstatus (Play, Pause, Stop)",  kText},
    {Label8,  "Label8",  kLabel, {kLeftColumn, Row(1), kAuto, kAuto},  "%id3titel - Zeigt nur den Titel",                        kText},
    {Label3,  "Label3",  kLabel, {kRightColumn, Row(1), kAuto, kAuto}, "%zeit - Aktuelle Uhrzeit (HH:MM)",                       kText},
    {Label7,  "Label7",  kLabel, {kLeftColumn, Row(2), kAuto, kAuto},  "%id3interpret - Zeigt nur den Interpreten",              kText},
    {Label14, "Label14", kLabel, {kRightColumn, Row(2), kAuto, kAuto}, "%zeits - Aktuelle Uhrzeit (HH:MM:SS)",                   kText},
    {Label9,  "Label9",  kLabel, {kLeftColumn, Row(3), kAuto, kAuto},  "%id3album - Zeigt das Album",                            kText},
    {Label4,  "Label4",  kLabel, {kRightColumn, Row(3), kAuto, kAuto}, "%datum - Aktuelles Datum (TT.MM)",                       kText},
    {Label10, "Label10", kLabel, {kLeftColumn, Row(4), kAuto, kAuto},  "%id3year - Zeigt das Jahr",                              kText},
    {Label13, "Label13", kLabel, {kRightColumn, Row(4), kAuto, kAuto}, "%datumy - Aktuelles Datum (DD.MM.YYYY)",                 kText},
    {Label11, "Label11", kLabel, {kLeftColumn, Row(5), kAuto, kAuto},  "%id3comment - Zeigt den Kommentar",                      kText},
    {Label15, "Label15", kLabel, {kRightColumn, Row(5), kAuto, kAuto}, "%tag - Aktueller Tag (DD)",                              kText},
    {Label12, "Label12", kLabel, {kLeftColumn, Row(6), kAuto, kAuto},  "%id3genre - Zeigt die Genre",                            kText},
    {Label16, "Label16", kLabel, {kRightColumn, Row(6), kAuto, kAuto}, "%monat - Aktueller Monat (MM)",                          kText},
    {Label19, "Label19", kLabel, {kLeftColumn, Row(7), kAuto, kAuto},  "%winamptrack - Nummer in Playliste",                     kText},
    {Label17, "Label17", kLabel, {kRightColumn, Row(7), kAuto, kAuto}, "%jahr - Aktuelles Jahr (YY)",                            kText},
    {Label2,  "Label2",  kLabel, {kLeftColumn, Row(8), kAuto, kAuto},  "%winampzeit - Zeigt die Titelposition",                  kText},
    {Label18, "Label18", kLabel, {kRightColumn, Row(8), kAuto, kAuto}, "%jahry - Aktuelles Jahr (YYYY)",                         kText},
    {Label20, "Label20", kLabel, {kLeftColumn, Row(9), kAuto, kAuto},  "%winampzeitr - Titelposition (remaining)",               kText},
    {Image1,  "Image1",  ControlKind::Image, {104, 283, 417, 33},      "",                                                       {},          kBlack},
    {Panel2,  "Panel2",  ControlKind::RaisedPanel, {18, 293, 47, 23},  "OK",                                                     ui::kPanelButtonFont, kButtonGrey, TextAlign::Center, {}, &Tbefehle::OnOkClick},
};

constexpr platform::FormArgs kWindow = {
    // Name     Caption                      Style                          Bounds                Outer Centred TopMost Colour  Font
    "befehle", "Befehls\xFC" "bersicht", platform::FormStyle::Sizeable, {265, 165, 553, 359}, true, false,  false,  kBlack, kText};
// clang-format on
static_assert(std::size(kControls) == static_cast<std::size_t>(BefehleControl::Count));
static_assert(ui::RowsInIdOrder(kControls));

} // namespace

Tbefehle::Tbefehle(UiContext& context) : context_(context) {
    form_ = context_.Ui.CreateForm(kWindow);
    ui::CreateControls(*form_, kControls, *this, controls_);
    controls_[static_cast<std::size_t>(Image1)]->SetPicture(ui::VariablesBanner());
}

Tbefehle::~Tbefehle() = default;

void Tbefehle::OnOkClick() {
    form_->Hide();
}

} // namespace lum
