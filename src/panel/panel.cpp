#include "panel/panel.h"

#include <cmath>

#include "core/error.h"

namespace infotrakon::panel {
namespace {

Font Sized(double size, int weight = 400) {
    Font font;
    font.size = size;
    font.weight = weight;
    return font;
}

const Font kTitle = Sized(13.5, 700);
const Font kCaption = Sized(9.75);
const Font kAmount = Sized(9.75, 700);

// The panel's form: every element with its design state, the visible ones first.
const ElementDefinition kPanelDefinition[] = {
    {.name = "Label16",
     .box = {120, 0, 5775, 360},
     .tabIndex = 27,
     .caption = "Informační plocha programu Trakon 3",
     .font = kTitle,
     .autoSize = true,
     .transparent = true},
    {.name = "Label17",
     .box = {120, 270, 45, 195},
     .tabIndex = 28,
     .autoSize = true,
     .transparent = true},
    {.name = "Label4",
     .box = {120, 480, 3765, 240},
     .tabIndex = 8,
     .caption = "Náklady na servis vozidel od začátku roku",
     .font = kCaption,
     .autoSize = true,
     .transparent = true},
    {.name = "Label5",
     .box = {4080, 480, 1215, 255},
     .tabIndex = 10,
     .caption = "Label5",
     .font = kAmount,
     .alignment = Alignment::kRight,
     .transparent = true},
    {.name = "Label6",
     .box = {5400, 480, 225, 240},
     .tabIndex = 12,
     .caption = "Kč",
     .font = kCaption,
     .autoSize = true,
     .transparent = true},
    {.name = "Label7",
     .box = {120, 720, 3330, 240},
     .tabIndex = 13,
     .caption = "Náklady na personál od začátku roku",
     .font = kCaption,
     .autoSize = true,
     .transparent = true},
    {.name = "Label8",
     .box = {4080, 720, 1215, 255},
     .tabIndex = 14,
     .caption = "Label5",
     .font = kAmount,
     .alignment = Alignment::kRight,
     .transparent = true},
    {.name = "Label9",
     .box = {5400, 720, 225, 240},
     .tabIndex = 15,
     .caption = "Kč",
     .font = kCaption,
     .autoSize = true,
     .transparent = true},
    {.name = "Label10",
     .box = {120, 960, 2865, 240},
     .tabIndex = 16,
     .caption = "Naplánované opravy na vozidla",
     .font = kCaption,
     .autoSize = true,
     .transparent = true},
    {.name = "Label11",
     .box = {4080, 960, 1215, 255},
     .tabIndex = 17,
     .caption = "Label11",
     .font = kAmount,
     .alignment = Alignment::kRight,
     .transparent = true},
    {.name = "Label12",
     .box = {5400, 960, 225, 240},
     .tabIndex = 18,
     .caption = "Kč",
     .font = kCaption,
     .autoSize = true,
     .transparent = true},
    {.name = "Label13",
     .box = {120, 1200, 3105, 240},
     .tabIndex = 19,
     .caption = "Naplánované náklady na personál",
     .font = kCaption,
     .autoSize = true,
     .transparent = true},
    {.name = "Label14",
     .box = {4080, 1200, 1215, 255},
     .tabIndex = 20,
     .caption = "Label11",
     .font = kAmount,
     .alignment = Alignment::kRight,
     .transparent = true},
    {.name = "Label15",
     .box = {5400, 1200, 225, 240},
     .tabIndex = 21,
     .caption = "Kč",
     .font = kCaption,
     .autoSize = true,
     .transparent = true},
    {.name = "Option1",
     .box = {120, 1680, 2295, 255},
     .tabIndex = 23,
     .caption = "Naplánované akce",
     .font = kCaption,
     .chosen = true},
    {.name = "Option2",
     .box = {120, 2040, 2175, 255},
     .tabIndex = 24,
     .caption = "Nevyřízené akce",
     .font = kCaption},
    {.name = "Option3",
     .box = {120, 2400, 1935, 255},
     .tabIndex = 25,
     .caption = "Vyřízené akce",
     .font = kCaption},
    {.name = "Option4",
     .box = {120, 2760, 2175, 255},
     .tabIndex = 26,
     .caption = "Termíny",
     .font = kCaption},
    {.name = "Combo2",
     .box = {2880, 2040, 1935, 360},
     .tabIndex = 22,
     .font = kCaption,
     .style = ComboStyle::kDropdownList,
     .items =
         {{"Dnes"}, {"Včera"}, {"Zítra"}, {"Za poslední týden"}, {"Tento týden"}, {"Tento měsíc"}}},
    {.name = "ListView1",
     .box = {120, 3240, 7455, 1335},
     .tabIndex = 7,
     .columns = {{"Datum", Alignment::kLeft, 700},
                 {"km", Alignment::kRight, 500},
                 {"Mh", Alignment::kRight, 500},
                 {"Popis", Alignment::kLeft, 1000},
                 {"Částka", Alignment::kRight, 700}}},
    {.name = "Command2",
     .box = {6840, 0, 1215, 375},
     .tabIndex = 6,
     .caption = "Aktualizovat",
     .backColour = kSystem3DLight,
     .picture = true},
    {.name = "Label3",
     .box = {3960, 4800, 3495, 375},
     .visible = false,
     .tabIndex = 3,
     .caption = "Label3"},
    {.name = "Label2",
     .box = {840, 5040, 1095, 255},
     .visible = false,
     .tabIndex = 2,
     .caption = "Soubor:"},
    {.name = "Label1",
     .box = {6240, 2400, 1695, 375},
     .visible = false,
     .tabIndex = 0,
     .caption = "Kontrolovat"},
    {.name = "Combo1",
     .box = {6720, 3360, 1335, 315},
     .visible = false,
     .tabIndex = 1,
     .caption = "Combo1",
     .style = ComboStyle::kDropdownCombo,
     .items = {{"Persovál"}, {"Vozidla"}}},
    {.name = "Command1",
     .box = {6840, 360, 1095, 375},
     .visible = false,
     .tabIndex = 4,
     .caption = "Nastavení",
     .backColour = kSystem3DLight},
    {.name = "DTPicker1",
     .box = {5160, 2280, 1695, 375},
     .visible = false,
     .tabIndex = 9,
     .date = Date::FromCivil(2002, 1, 10)},
    {.name = "DTPicker2",
     .box = {6840, 3000, 1695, 375},
     .visible = false,
     .tabIndex = 11,
     .date = Date::FromCivil(2002, 1, 10)},
    {.name = "DataGrid1", .box = {6120, 1320, 1815, 975}, .visible = false, .tabIndex = 5},
    {.name = "Adodc1", .box = {6600, 2520, 1200, 375}, .visible = false, .caption = "Adodc1"},
    {.name = "CommonDialog1",
     .box = {7800, 360, 0, 0},
     .visible = false,
     .dialog = {"Výběr agendy", "mdb", "*.mdb", "*.mdb"}},
};

const ElementDefinition& Defined(std::string_view name) {
    for (const ElementDefinition& definition : kPanelDefinition)
        if (definition.name == name) return definition;
    throw Error(error_number::kInvalidProcedureCall,
                "The panel's form defines no element " + std::string(name));
}

}  // namespace

Panel::Panel(const TextMetrics& m)
    : Label16(Defined("Label16"), m),
      Label17(Defined("Label17"), m),
      Label4(Defined("Label4"), m),
      Label5(Defined("Label5"), m),
      Label6(Defined("Label6"), m),
      Label7(Defined("Label7"), m),
      Label8(Defined("Label8"), m),
      Label9(Defined("Label9"), m),
      Label10(Defined("Label10"), m),
      Label11(Defined("Label11"), m),
      Label12(Defined("Label12"), m),
      Label13(Defined("Label13"), m),
      Label14(Defined("Label14"), m),
      Label15(Defined("Label15"), m),
      Option1(Defined("Option1")),
      Option2(Defined("Option2")),
      Option3(Defined("Option3")),
      Option4(Defined("Option4")),
      Combo2(Defined("Combo2")),
      ListView1(Defined("ListView1")),
      Command2(Defined("Command2")),
      Label3(Defined("Label3"), m),
      Label2(Defined("Label2"), m),
      Label1(Defined("Label1"), m),
      Combo1(Defined("Combo1")),
      Command1(Defined("Command1")),
      DTPicker1(Defined("DTPicker1")),
      DTPicker2(Defined("DTPicker2")),
      DataGrid1(Defined("DataGrid1")),
      Adodc1(Defined("Adodc1")),
      CommonDialog1(Defined("CommonDialog1")) {
    elements_ = {&Label16,   &Label17, &Label4,       &Label5,  &Label6,   &Label7,    &Label8,
                 &Label9,    &Label10, &Label11,      &Label12, &Label13,  &Label14,   &Label15,
                 &Option1,   &Option2, &Option3,      &Option4, &Combo2,   &ListView1, &Command2,
                 &Label3,    &Label2,  &Label1,       &Combo1,  &Command1, &DTPicker1, &DTPicker2,
                 &DataGrid1, &Adodc1,  &CommonDialog1};
    for (OptionButton* option : {&Option1, &Option2, &Option3, &Option4})
        options.Add(*option, Defined(option->name()).chosen);
    for (Element* element : elements_) element->AttachHub(&hub_);
}

void Panel::SetSize(Twips width, Twips height) {
    if (!std::isfinite(width) || !std::isfinite(height))
        throw Error(error_number::kInvalidPropertyValue,
                    "Invalid property value: the panel's size must be finite");
    width_ = width;
    height_ = height;
}

Element* Panel::Find(std::string_view name) const {
    for (Element* element : elements_)
        if (element->name() == name) return element;
    return nullptr;
}

}  // namespace infotrakon::panel
