#include "SkinRecords.h"

#include "SkinObjectTypes.h"

namespace skinkit {

namespace {

class RecordList {
public:
    RecordList(std::vector<ImageRecord>& out, std::string owner) : m_out(out), m_owner(std::move(owner)) {}

    void Part(const std::string& field, SkinImagePart& p) { m_out.push_back({m_owner + "." + field, &p, nullptr}); }
    void Grid(const std::string& field, SkinNineGrid& g) { m_out.push_back({m_owner + "." + field, nullptr, &g}); }
    template <size_t N>
    void Parts(const std::string& field, SkinImagePart (&p)[N])
    {
        for (size_t i = 0; i < N; ++i)
            Part(Indexed(field, i), p[i]);
    }
    template <size_t N>
    void Grids(const std::string& field, SkinNineGrid (&g)[N])
    {
        for (size_t i = 0; i < N; ++i)
            Grid(Indexed(field, i), g[i]);
    }
    static std::string Indexed(const std::string& field, size_t i) { return field + "[" + std::to_string(i) + "]"; }

private:
    std::vector<ImageRecord>& m_out;
    std::string m_owner;
};

void ListScrollBarState(RecordList& list, const std::string& field, SkinScrollBarState& s)
{
    list.Part(field + ".arrow1", s.arrow1);
    list.Part(field + ".arrow2", s.arrow2);
    list.Grid(field + ".track", s.track);
    list.Grid(field + ".thumb", s.thumb);
}

// The records of the bases several types share.
void ListBaseRecords(CSkinObject& o, RecordList& list)
{
    if (auto* w = dynamic_cast<CSkinWindowObject*>(&o)) {
        list.Parts("parts", w->m_parts);
        list.Grids("iconicCaption", w->m_iconicCaption);
    }
    if (auto* f = dynamic_cast<CSkinFontObject*>(&o))
        list.Grid("background", f->m_background);
    if (auto* c = dynamic_cast<CSkinCaptionBaseObject*>(&o))
        list.Part("image", c->m_image);
}

void ListWindowTails(CSkinObject& o, RecordList& list)
{
    if (auto* f = dynamic_cast<CSkinFrameWndObject*>(&o)) {
        CSkinCaptionTextObject& m = f->m_menuBar;
        list.Part("menuBar.image", m.m_image);
        list.Grid("menuBar.barBackground", m.m_barBackground);
        list.Grid("menuBar.hotItem", m.m_hotItem.grid);
        list.Grid("menuBar.openItem", m.m_openItem.grid);
        for (int b = 0; b < 4; ++b)
            list.Parts(RecordList::Indexed("menuBar.buttons", size_t(b)), m.m_buttons[b]);
        list.Part("mdiClientBackground", f->m_mdiClientBackground);
    }
    if (auto* p = dynamic_cast<CSkinPopupMenuObject*>(&o)) {
        list.Grids("grids", p->m_grids);
        list.Part("image1", p->m_image1);
        list.Part("image2", p->m_image2);
    }
    if (auto* s = dynamic_cast<CSkinShapeWndObject*>(&o))
        list.Part("shape", s->m_shape);
    if (auto* b = dynamic_cast<CSkinCaptionButtonObject*>(&o))
        list.Parts("states", b->m_states);
}

void ListButtonTails(CSkinObject& o, RecordList& list)
{
    if (auto* b = dynamic_cast<CSkinButtonObject*>(&o))
        for (size_t i = 0; i < 6; ++i)
            list.Grid(RecordList::Indexed("states", i) + ".grid", b->m_states[i].grid);
    if (auto* c = dynamic_cast<CSkinCheckBoxObject*>(&o))
        for (size_t i = 0; i < 7; ++i) {
            list.Part(RecordList::Indexed("states", i) + ".box", c->m_states[i].box);
            list.Grid(RecordList::Indexed("states", i) + ".grid", c->m_states[i].grid);
        }
    if (auto* g = dynamic_cast<CSkinGroupBoxObject*>(&o))
        list.Grid("caption", g->m_caption);
}

void ListListTails(CSkinObject& o, RecordList& list)
{
    if (auto* c = dynamic_cast<CSkinComboBoxObject*>(&o))
        list.Grids("buttons", c->m_buttons);
    if (auto* s = dynamic_cast<CSkinScrollControlObject*>(&o))
        list.Part("image", s->m_image);
    if (auto* t = dynamic_cast<CSkinTreeViewObject*>(&o)) {
        list.Grids("grids", t->m_grids);
        list.Parts("images", t->m_images);
    }
    if (auto* sb = dynamic_cast<CSkinScrollBarObject*>(&o)) {
        for (size_t i = 0; i < 4; ++i)
            ListScrollBarState(list, RecordList::Indexed("horizontal", i), sb->m_horizontal[i]);
        list.Part("sizeGrip", sb->m_sizeGrip);
        for (size_t i = 0; i < 3; ++i)
            ListScrollBarState(list, RecordList::Indexed("vertical", i), sb->m_vertical[i]);
        ListScrollBarState(list, "verticalLast", sb->m_verticalLast);
    }
}

void ListRangeTails(CSkinObject& o, RecordList& list)
{
    if (auto* p = dynamic_cast<CSkinProgressBarObject*>(&o))
        list.Grid("bar", p->m_bar);
    if (auto* s = dynamic_cast<CSkinSliderObject*>(&o)) {
        list.Grid("channel", s->m_channel);
        list.Grid("thumb", s->m_thumb);
        list.Grid("verticalThumb", s->m_verticalThumb);
    }
    if (auto* s = dynamic_cast<CSkinSpinObject*>(&o))
        for (size_t i = 0; i < 4; ++i) {
            list.Parts(RecordList::Indexed("states", i) + ".parts", s->m_states[i].parts);
            list.Parts(RecordList::Indexed("states2", i) + ".parts", s->m_states2[i].parts);
        }
}

void ListBarTails(CSkinObject& o, RecordList& list)
{
    if (auto* s = dynamic_cast<CSkinStatusBarObject*>(&o)) {
        list.Grid("pane", s->m_pane);
        list.Part("grip", s->m_grip);
    }
    if (auto* t = dynamic_cast<CSkinTabObject*>(&o)) {
        for (size_t i = 0; i < 4; ++i)
            list.Grid(RecordList::Indexed("states", i) + ".grid", t->m_states[i].grid);
        list.Grid("page", t->m_page);
    }
    if (auto* t = dynamic_cast<CSkinToolBarObject*>(&o))
        list.Grids("grids", t->m_grids);
    if (auto* r = dynamic_cast<CSkinRebarObject*>(&o))
        list.Grid("band", r->m_band);
    if (auto* h = dynamic_cast<CSkinHeaderObject*>(&o))
        list.Grid("item", h->m_item);
}

void ListSpecialTails(CSkinObject& o, RecordList& list)
{
    if (auto* d = dynamic_cast<CSkinDateTimeObject*>(&o)) {
        list.Grids("grids", d->m_grids);
        list.Part("image1", d->m_image1);
        list.Part("image2", d->m_image2);
    }
    if (auto* m = dynamic_cast<CSkinMonthCalendarObject*>(&o))
        list.Grids("grids", m->m_grids);
    if (auto* l = dynamic_cast<CSkinImageListObject*>(&o))
        list.Part("strip", l->m_strip);
    if (auto* a = dynamic_cast<CSkinAnimateObject*>(&o))
        list.Part("image", a->m_image);
}

void ListObject(CSkinObject& o, const std::string& path, std::vector<ImageRecord>& out)
{
    RecordList list(out, path);
    ListBaseRecords(o, list);
    ListWindowTails(o, list);
    ListButtonTails(o, list);
    ListListTails(o, list);
    ListRangeTails(o, list);
    ListBarTails(o, list);
    ListSpecialTails(o, list);
    for (auto& child : o.GetChildren())
        ListObject(*child.second, path + "/" + child.first, out);
}

}  // namespace

std::vector<ImageRecord> ListImageRecords(CSkinObject& object)
{
    std::vector<ImageRecord> out;
    ListObject(object, object.GetName(), out);
    return out;
}

}  // namespace skinkit
