#pragma once

// The panel's form: each element once, as ELEMENT(kind, name, its design state as the
// designated initializers of an ElementDefinition after .name), in the order of the panel's
// definition, the shown ones first. Panel declares, makes and lists its elements from this
// one list. The fonts it names (kTitle, kCaption, kAmount) are panel.cpp's.
#define INFOTRAKON_PANEL_FORM(ELEMENT)                                                            \
    /* Shown. */                                                                                  \
    ELEMENT(Label, Label16, .box = {120, 0, 5775, 360}, .tabIndex = 27,                           \
            .caption = "Informační plocha programu Trakon 3", .font = kTitle, .autoSize = true,   \
            .transparent = true)                                                                  \
    ELEMENT(Label, Label17, .box = {120, 270, 45, 195}, .tabIndex = 28, .autoSize = true,         \
            .transparent = true)                                                                  \
    ELEMENT(Label, Label4, .box = {120, 480, 3765, 240}, .tabIndex = 8,                           \
            .caption = "Náklady na servis vozidel od začátku roku", .font = kCaption,             \
            .autoSize = true, .transparent = true)                                                \
    ELEMENT(Label, Label5, .box = {4080, 480, 1215, 255}, .tabIndex = 10, .caption = "Label5",    \
            .font = kAmount, .alignment = Alignment::kRight, .transparent = true)                 \
    ELEMENT(Label, Label6, .box = {5400, 480, 225, 240}, .tabIndex = 12, .caption = "Kč",         \
            .font = kCaption, .autoSize = true, .transparent = true)                              \
    ELEMENT(Label, Label7, .box = {120, 720, 3330, 240}, .tabIndex = 13,                          \
            .caption = "Náklady na personál od začátku roku", .font = kCaption, .autoSize = true, \
            .transparent = true)                                                                  \
    ELEMENT(Label, Label8, .box = {4080, 720, 1215, 255}, .tabIndex = 14, .caption = "Label5",    \
            .font = kAmount, .alignment = Alignment::kRight, .transparent = true)                 \
    ELEMENT(Label, Label9, .box = {5400, 720, 225, 240}, .tabIndex = 15, .caption = "Kč",         \
            .font = kCaption, .autoSize = true, .transparent = true)                              \
    ELEMENT(Label, Label10, .box = {120, 960, 2865, 240}, .tabIndex = 16,                         \
            .caption = "Naplánované opravy na vozidla", .font = kCaption, .autoSize = true,       \
            .transparent = true)                                                                  \
    ELEMENT(Label, Label11, .box = {4080, 960, 1215, 255}, .tabIndex = 17, .caption = "Label11",  \
            .font = kAmount, .alignment = Alignment::kRight, .transparent = true)                 \
    ELEMENT(Label, Label12, .box = {5400, 960, 225, 240}, .tabIndex = 18, .caption = "Kč",        \
            .font = kCaption, .autoSize = true, .transparent = true)                              \
    ELEMENT(Label, Label13, .box = {120, 1200, 3105, 240}, .tabIndex = 19,                        \
            .caption = "Naplánované náklady na personál", .font = kCaption, .autoSize = true,     \
            .transparent = true)                                                                  \
    ELEMENT(Label, Label14, .box = {4080, 1200, 1215, 255}, .tabIndex = 20, .caption = "Label11", \
            .font = kAmount, .alignment = Alignment::kRight, .transparent = true)                 \
    ELEMENT(Label, Label15, .box = {5400, 1200, 225, 240}, .tabIndex = 21, .caption = "Kč",       \
            .font = kCaption, .autoSize = true, .transparent = true)                              \
    ELEMENT(OptionButton, Option1, .box = {120, 1680, 2295, 255}, .tabIndex = 23,                 \
            .caption = "Naplánované akce", .font = kCaption, .chosen = true)                      \
    ELEMENT(OptionButton, Option2, .box = {120, 2040, 2175, 255}, .tabIndex = 24,                 \
            .caption = "Nevyřízené akce", .font = kCaption)                                       \
    ELEMENT(OptionButton, Option3, .box = {120, 2400, 1935, 255}, .tabIndex = 25,                 \
            .caption = "Vyřízené akce", .font = kCaption)                                         \
    ELEMENT(OptionButton, Option4, .box = {120, 2760, 2175, 255}, .tabIndex = 26,                 \
            .caption = "Termíny", .font = kCaption)                                               \
    ELEMENT(ComboBox, Combo2, .box = {2880, 2040, 1935, 360}, .tabIndex = 22, .font = kCaption,   \
            .style = ComboStyle::kDropdownList,                                                   \
            .items = {{"Dnes"},                                                                   \
                      {"Včera"},                                                                  \
                      {"Zítra"},                                                                  \
                      {"Za poslední týden"},                                                      \
                      {"Tento týden"},                                                            \
                      {"Tento měsíc"}})                                                           \
    ELEMENT(ListView, ListView1, .box = {120, 3240, 7455, 1335}, .tabIndex = 7,                   \
            .columns = {{"Datum", Alignment::kLeft, 700},                                         \
                        {"km", Alignment::kRight, 500},                                           \
                        {"Mh", Alignment::kRight, 500},                                           \
                        {"Popis", Alignment::kLeft, 1000},                                        \
                        {"Částka", Alignment::kRight, 700}})                                      \
    ELEMENT(CommandButton, Command2, .box = {6840, 0, 1215, 375}, .tabIndex = 6,                  \
            .caption = "Aktualizovat", .backColour = kSystem3DLight, .picture = true)             \
    /* Hidden. */                                                                                 \
    ELEMENT(Label, Label3, .box = {3960, 4800, 3495, 375}, .visible = false, .tabIndex = 3,       \
            .caption = "Label3")                                                                  \
    ELEMENT(Label, Label2, .box = {840, 5040, 1095, 255}, .visible = false, .tabIndex = 2,        \
            .caption = "Soubor:")                                                                 \
    ELEMENT(Label, Label1, .box = {6240, 2400, 1695, 375}, .visible = false, .tabIndex = 0,       \
            .caption = "Kontrolovat")                                                             \
    ELEMENT(ComboBox, Combo1, .box = {6720, 3360, 1335, 315}, .visible = false, .tabIndex = 1,    \
            .caption = "Combo1", .style = ComboStyle::kDropdownCombo,                             \
            .items = {{"Persovál"}, {"Vozidla"}})                                                 \
    ELEMENT(CommandButton, Command1, .box = {6840, 360, 1095, 375}, .visible = false,             \
            .tabIndex = 4, .caption = "Nastavení", .backColour = kSystem3DLight)                  \
    ELEMENT(DatePicker, DTPicker1, .box = {5160, 2280, 1695, 375}, .visible = false,              \
            .tabIndex = 9, .date = Date::FromCivil(2002, 1, 10))                                  \
    ELEMENT(DatePicker, DTPicker2, .box = {6840, 3000, 1695, 375}, .visible = false,              \
            .tabIndex = 11, .date = Date::FromCivil(2002, 1, 10))                                 \
    ELEMENT(DataGrid, DataGrid1, .box = {6120, 1320, 1815, 975}, .visible = false, .tabIndex = 5) \
    ELEMENT(DataControl, Adodc1, .box = {6600, 2520, 1200, 375}, .visible = false,                \
            .caption = "Adodc1")                                                                  \
    ELEMENT(FileDialog, CommonDialog1, .box = {7800, 360, 0, 0}, .visible = false,                \
            .dialog = {"Výběr agendy", "mdb", "*.mdb", "*.mdb"})
