#include "panel/panel.h"

#include <cmath>

#include "core/error.h"

namespace infotrakon::panel {
namespace {

Font PanelFont() { return Font{}; }
Font SizedFont(double size, int weight = 400) {
    Font font;
    font.size = size;
    font.weight = weight;
    return font;
}

// A transparent label of the summary area and the title.
Label::Design Shown(std::string caption, Font font, bool autoSize,
                    Alignment alignment = Alignment::kLeft) {
    return Label::Design{std::move(caption), alignment, autoSize, true, std::move(font)};
}

Label::Design Hidden(std::string caption) {
    return Label::Design{std::move(caption), Alignment::kLeft, false, false, PanelFont()};
}

std::vector<ComboItem> PeriodItems() {
    return {{"Dnes", 0},        {"Včera", 0},      {"Zítra", 0}, {"Za poslední týden", 0},
            {"Tento týden", 0}, {"Tento měsíc", 0}};
}

std::vector<ColumnHeader> AgendaColumns() {
    return {{"Datum", Alignment::kLeft, 700},
            {"km", Alignment::kRight, 500},
            {"Mh", Alignment::kRight, 500},
            {"Popis", Alignment::kLeft, 1000},
            {"Částka", Alignment::kRight, 700}};
}

const Font kCaption = SizedFont(9.75);
const Font kValue = SizedFont(9.75, 700);

}  // namespace

Panel::Panel(const TextMetrics& m)
    : Label16("Label16", {120, 0, 5775, 360}, true, 27,
              Shown("Informační plocha programu Trakon 3", SizedFont(13.5, 700), true), m),
      Label17("Label17", {120, 270, 45, 195}, true, 28, Shown("", PanelFont(), true), m),
      Label4("Label4", {120, 480, 3765, 240}, true, 8,
             Shown("Náklady na servis vozidel od začátku roku", kCaption, true), m),
      Label5("Label5", {4080, 480, 1215, 255}, true, 10,
             Shown("Label5", kValue, false, Alignment::kRight), m),
      Label6("Label6", {5400, 480, 225, 240}, true, 12, Shown("Kč", kCaption, true), m),
      Label7("Label7", {120, 720, 3330, 240}, true, 13,
             Shown("Náklady na personál od začátku roku", kCaption, true), m),
      Label8("Label8", {4080, 720, 1215, 255}, true, 14,
             Shown("Label5", kValue, false, Alignment::kRight), m),
      Label9("Label9", {5400, 720, 225, 240}, true, 15, Shown("Kč", kCaption, true), m),
      Label10("Label10", {120, 960, 2865, 240}, true, 16,
              Shown("Naplánované opravy na vozidla", kCaption, true), m),
      Label11("Label11", {4080, 960, 1215, 255}, true, 17,
              Shown("Label11", kValue, false, Alignment::kRight), m),
      Label12("Label12", {5400, 960, 225, 240}, true, 18, Shown("Kč", kCaption, true), m),
      Label13("Label13", {120, 1200, 3105, 240}, true, 19,
              Shown("Naplánované náklady na personál", kCaption, true), m),
      Label14("Label14", {4080, 1200, 1215, 255}, true, 20,
              Shown("Label11", kValue, false, Alignment::kRight), m),
      Label15("Label15", {5400, 1200, 225, 240}, true, 21, Shown("Kč", kCaption, true), m),
      Option1("Option1", {120, 1680, 2295, 255}, 23, "Naplánované akce", kCaption, kWhite),
      Option2("Option2", {120, 2040, 2175, 255}, 24, "Nevyřízené akce", kCaption, kWhite),
      Option3("Option3", {120, 2400, 1935, 255}, 25, "Vyřízené akce", kCaption, kWhite),
      Option4("Option4", {120, 2760, 2175, 255}, 26, "Termíny", kCaption, kWhite),
      Combo2("Combo2", {2880, 2040, 1935, 360}, true, 22, ComboStyle::kDropdownList, PeriodItems(),
             "", kCaption),
      ListView1("ListView1", {120, 3240, 7455, 1335}, 7, AgendaColumns(), PanelFont()),
      Command2("Command2", {6840, 0, 1215, 375}, true, 6, "Aktualizovat", kSystem3DLight, true),
      Label3("Label3", {3960, 4800, 3495, 375}, false, 3, Hidden("Label3"), m),
      Label2("Label2", {840, 5040, 1095, 255}, false, 2, Hidden("Soubor:"), m),
      Label1("Label1", {6240, 2400, 1695, 375}, false, 0, Hidden("Kontrolovat"), m),
      Combo1("Combo1", {6720, 3360, 1335, 315}, false, 1, ComboStyle::kDropdownCombo,
             {{"Persovál", 0}, {"Vozidla", 0}}, "Combo1", PanelFont()),
      Command1("Command1", {6840, 360, 1095, 375}, false, 4, "Nastavení", kSystem3DLight, false),
      DTPicker1("DTPicker1", {5160, 2280, 1695, 375}, 9, Date::FromCivil(2002, 1, 10)),
      DTPicker2("DTPicker2", {6840, 3000, 1695, 375}, 11, Date::FromCivil(2002, 1, 10)),
      DataGrid1("DataGrid1", {6120, 1320, 1815, 975}, 5, SizedFont(8.25)),
      Adodc1("Adodc1", {6600, 2520, 1200, 375}, "Adodc1", SizedFont(8.25)),
      CommonDialog1("CommonDialog1", 7800, 360, {"Výběr agendy", "mdb", "*.mdb", "*.mdb"}),
      font_(PanelFont()) {
    elements_ = {&Label16,   &Label17, &Label4,       &Label5,  &Label6,   &Label7,    &Label8,
                 &Label9,    &Label10, &Label11,      &Label12, &Label13,  &Label14,   &Label15,
                 &Option1,   &Option2, &Option3,      &Option4, &Combo2,   &ListView1, &Command2,
                 &Label3,    &Label2,  &Label1,       &Combo1,  &Command1, &DTPicker1, &DTPicker2,
                 &DataGrid1, &Adodc1,  &CommonDialog1};
    options.Add(Option1, true);
    options.Add(Option2, false);
    options.Add(Option3, false);
    options.Add(Option4, false);
    for (Element* element : elements_) element->AttachHub(&hub_);
}

void Panel::SetSize(Twips width, Twips height) {
    if (!std::isfinite(width) || !std::isfinite(height))
        throw Error(error_number::kInvalidPropertyValue,
                    "Invalid property value: the panel's size must be finite");
    width_ = width;
    height_ = height;
    if (sizeObserver_) sizeObserver_();
}

Element* Panel::Find(std::string_view name) const {
    for (Element* element : elements_)
        if (element->name() == name) return element;
    return nullptr;
}

void Panel::UseTextMetrics(const TextMetrics& metrics) {
    for (Element* element : elements_)
        if (auto* label = dynamic_cast<Label*>(element)) label->SetTextMetrics(metrics);
}

}  // namespace infotrakon::panel
