#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace infotrakon::panel {

// Positions and sizes in twips (1/1440 inch), single precision as the panel keeps them.
using Twips = float;

// A colour &H00BBGGRR&, or &H800000nn& for the system colour nn.
using Colour = std::uint32_t;
inline constexpr Colour kWhite = 0x00FFFFFFu;
inline constexpr Colour kSystemWindow = 0x80000005u;
inline constexpr Colour kSystem3DLight = 0x80000016u;

struct Font {
    std::string name = "MS Sans Serif";
    double size = 8.25;  // points
    int weight = 400;    // 400 regular, 700 bold
    int charset = 238;   // Central European
    bool bold() const { return weight >= 700; }
    friend bool operator==(const Font&, const Font&) = default;
};

// The kinds in the order of ElementOfKind's alternatives, whose index an element's kind is.
enum class ElementKind {
    kLabel,
    kOptionButton,
    kComboBox,
    kCommandButton,
    kListView,
    kDatePicker,
    kDataGrid,
    kFileDialog,
    kDataControl,
};
const char* KindName(ElementKind kind);

struct Box {
    Twips left = 0, top = 0, width = 0, height = 0;
};

class Element;
class Label;
class OptionButton;
class ComboBox;
class CommandButton;
class ListView;
class DatePicker;
class DataGrid;
class FileDialog;
class DataControl;
struct ElementDefinition;

// An element as its own kind. Visit (panel/element_visit.h) goes through it, so that a kind
// added here is a compile error wherever a visit does not handle it yet.
using ElementOfKind = std::variant<const Label*, const OptionButton*, const ComboBox*,
                                   const CommandButton*, const ListView*, const DatePicker*,
                                   const DataGrid*, const FileDialog*, const DataControl*>;

// A change of a list's rows: all cleared, or one row inserted or its texts changed.
struct RowChange {
    enum class Kind { kCleared, kInserted, kChanged };
    Kind kind = Kind::kCleared;
    std::size_t row = 0;  // for kInserted and kChanged
};

// Told after every change of an element's state, so that a view can follow the model.
class ElementObserver {
  public:
    virtual ~ElementObserver() = default;
    // Anything of the element but a list's rows changed.
    virtual void ElementChanged(const Element& element) = 0;
    // A list's rows changed as `change` says, and nothing else of it.
    virtual void RowsChanged(const ListView& list, RowChange change) = 0;
};

// Passes element changes on to the observers of one panel.
class ChangeHub {
  public:
    void Add(ElementObserver* observer) { observers_.push_back(observer); }
    void Remove(ElementObserver* observer);
    void Notify(const Element& element) const;
    void NotifyRows(const ListView& list, RowChange change) const;

  private:
    std::vector<ElementObserver*> observers_;
};

class Element {
  public:
    explicit Element(const ElementDefinition& definition);
    virtual ~Element() = default;
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    const std::string& name() const { return name_; }
    ElementKind kind() const { return static_cast<ElementKind>(AsKind().index()); }
    // Each kind gives itself, so that a visit reaches it as what it is.
    virtual ElementOfKind AsKind() const = 0;
    Twips left() const { return box_.left; }
    Twips top() const { return box_.top; }
    Twips width() const { return box_.width; }
    Twips height() const { return box_.height; }
    bool visible() const { return visible_; }
    std::optional<int> tabIndex() const { return tabIndex_; }

    void SetLeft(Twips left);
    void SetTop(Twips top);
    // Raise an error and keep the old size where the kind refuses the value.
    virtual void SetWidth(Twips width);
    virtual void SetHeight(Twips height);

    void AttachHub(const ChangeHub* hub) { hub_ = hub; }

  protected:
    void Changed() const {
        if (hub_ != nullptr) hub_->Notify(*this);
    }
    const ChangeHub* hub() const { return hub_; }
    void SetSize(Twips width, Twips height);
    static void RequireFinite(const Element& element, const char* property, Twips value);

  private:
    std::string name_;
    Box box_;
    bool visible_;
    std::optional<int> tabIndex_;
    const ChangeHub* hub_ = nullptr;
};

using ClickHandler = std::function<void()>;

}  // namespace infotrakon::panel
