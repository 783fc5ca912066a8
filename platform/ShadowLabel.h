#pragma once

#include "Controls.h"
#include "Graphics.h"

#include <memory>

// One copy of a shadow label's caption drawn offset behind the caption.
class TShadow : public TObject {
public:
    bool Visible = false;
    TColor Color = clSilver;
    int OffsetLeft = 1;
    int OffsetTop = 1;

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader);
};

// A one-line label that paints its caption over a shadow copy (and, when
// asked, a highlight copy), with no background of its own. With AutoSize
// its box is fitted to the caption's extent in its font, the top-left corner
// kept; everything is clipped to the box.
class TShadowLabel : public TControl {
public:
    explicit TShadowLabel(TComponent* owner);
    ~TShadowLabel() override;

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    TFont* Font() const { return font_.get(); }
    TShadow* Shadow() const { return shadow_.get(); }

    bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader) override;
    void Loaded() override;
    void Paint(QPainter& painter) override;

private:
    void Changed();
    AnsiString caption_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TShadow> shadow_;
    std::unique_ptr<TShadow> highlight_;
    TColor color_ = 0x00F0F0F0;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool loading_ = true;
};
