#include <chrono>
#include <cstdint>
#include <gtksourceview/gtksource.h>
#include <regex>
#include <vector>

#include "gui/support/gui_fixture.h"
#include "shell/gobj.h"
#include "shell/ui/window_parts.h"
#include "shell/ui/report.h"

namespace {

const std::string kRule = std::string(56, '_');
const std::string kPicture = "\xef\xbf\xbc"; // U+FFFC, a picture in a buffer slice

GtkTextBuffer* log_buffer() {
    return gtk_text_view_get_buffer(GTK_TEXT_VIEW(log_view()));
}

int cursor_offset() {
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_mark(log_buffer(), &at, gtk_text_buffer_get_insert(log_buffer()));
    return gtk_text_iter_get_offset(&at);
}

void put_cursor_at_end() {
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(log_buffer(), &end);
    gtk_text_buffer_place_cursor(log_buffer(), &end);
}

// The names of the tags on each character of [from, from + count).
std::vector<std::string> tags_over(int from, int count) {
    std::vector<std::string> names;
    for (int i = from; i < from + count; ++i) {
        GtkTextIter at;
        gtk_text_buffer_get_iter_at_offset(log_buffer(), &at, i);
        GSList* tags = gtk_text_iter_get_tags(&at);
        std::string here;
        for (GSList* t = tags; t; t = t->next) {
            gchar* name = nullptr;
            g_object_get(t->data, "name", &name, nullptr);
            here += std::string(here.empty() ? "" : ",") + (name ? name : "?");
            g_free(name);
        }
        g_slist_free(tags);
        names.push_back(here);
    }
    return names;
}

int chars(const std::string& utf8) {
    return static_cast<int>(g_utf8_strlen(utf8.c_str(), -1));
}

// The width of the picture at `offset` of the log, 0 when there is none.
int picture_width_at(int offset) {
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_offset(log_buffer(), &at, offset);
    GdkPixbuf* picture = gtk_text_iter_get_pixbuf(&at);
    return picture ? gdk_pixbuf_get_width(picture) : 0;
}

GdkRGBA tag_color(const char* tag_name, const char* property) {
    GtkTextTag* tag =
        gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(log_buffer()), tag_name);
    GdkRGBA* color = nullptr;
    if (tag) g_object_get(tag, property, &color, nullptr);
    GdkRGBA out{0, 0, 0, 0};
    if (color) {
        out = *color;
        gdk_rgba_free(color);
    }
    return out;
}

bool same_color(const GdkRGBA& color, const char* spec) {
    GdkRGBA expected;
    if (!gdk_rgba_parse(&expected, spec)) return false;
    return gdk_rgba_equal(&color, &expected);
}

using ReportTest = GuiTest;

} // namespace

TEST_F(ReportTest, LogViewIsAReadOnlyWrappedSourceViewInAScrolledWindow) {
    GtkWidget* view = log_view();
    ASSERT_TRUE(view && GTK_SOURCE_IS_VIEW(view));
    EXPECT_FALSE(gtk_text_view_get_editable(GTK_TEXT_VIEW(view)));
    EXPECT_FALSE(gtk_text_view_get_cursor_visible(GTK_TEXT_VIEW(view)));
    EXPECT_EQ(gtk_text_view_get_wrap_mode(GTK_TEXT_VIEW(view)), GTK_WRAP_WORD);
    EXPECT_TRUE(gtk_source_view_get_show_line_numbers(GTK_SOURCE_VIEW(view)));
    EXPECT_TRUE(gtk_source_view_get_show_right_margin(GTK_SOURCE_VIEW(view)));
    EXPECT_TRUE(gtk_source_view_get_show_line_marks(GTK_SOURCE_VIEW(view)));
    GtkSourceStyleScheme* scheme =
        gtk_source_buffer_get_style_scheme(GTK_SOURCE_BUFFER(log_buffer()));
    ASSERT_NE(scheme, nullptr);
    EXPECT_EQ(gtk_source_style_scheme_get_id(scheme), theme_name());

    GtkWidget* scroll = gtk_widget_get_parent(view);
    ASSERT_TRUE(GTK_IS_SCROLLED_WINDOW(scroll));
    GtkPolicyType h, v;
    gtk_scrolled_window_get_policy(GTK_SCROLLED_WINDOW(scroll), &h, &v);
    EXPECT_EQ(h, GTK_POLICY_AUTOMATIC);
    EXPECT_EQ(v, GTK_POLICY_AUTOMATIC);

    PangoFontDescription* font = nullptr;
    gtk_style_context_get(gtk_widget_get_style_context(view), GTK_STATE_FLAG_NORMAL, "font", &font,
                          nullptr);
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(pango_font_description_get_family(font), "mono");
    EXPECT_EQ(pango_font_description_get_size(font), 8 * PANGO_SCALE);
    pango_font_description_free(font);
}

TEST_F(ReportTest, LogTagsAreCreatedInOrderWithTheirColours) {
    const char* order[] = {"lm_greet", "gray_bg", "lm_error", "lm_normal", "lm_advice"};
    GtkTextTagTable* table = gtk_text_buffer_get_tag_table(log_buffer());
    int previous = -1;
    for (const char* name : order) {
        GtkTextTag* tag = gtk_text_tag_table_lookup(table, name);
        ASSERT_NE(tag, nullptr) << name;
        EXPECT_GT(gtk_text_tag_get_priority(tag), previous) << name;
        previous = gtk_text_tag_get_priority(tag);
    }
    EXPECT_TRUE(same_color(tag_color("lm_greet", "foreground-rgba"), "#6c0606"));
    EXPECT_TRUE(same_color(tag_color("gray_bg", "background-rgba"), "gray"));
    EXPECT_TRUE(same_color(tag_color("lm_normal", "foreground-rgba"), "black"));
    EXPECT_TRUE(same_color(tag_color("lm_advice", "foreground-rgba"), "navy"));
    // Defaults: red on the text background.
    EXPECT_TRUE(same_color(tag_color("lm_error", "foreground-rgba"), "red"));
    EXPECT_TRUE(same_color(tag_color("lm_error", "background-rgba"), "white"));
}

TEST_F(ReportTest, FirstFormPutsAStampedUntaggedEntryOnTop) {
    const std::string before = log_text();
    put_cursor_at_end();
    log_message("%s est créé", "/tmp/a.bak", LM_NORMAL);

    const std::string text = log_text();
    ASSERT_EQ(text.substr(0, 1), "\t");
    const std::size_t second_tab = text.find('\t', 1);
    ASSERT_NE(second_tab, std::string::npos);
    const std::string stamp = text.substr(1, second_tab - 1);
    EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)"))) << stamp;
    const std::string body = " /tmp/a.bak est créé\n" + kRule + "\n";
    EXPECT_EQ(text.substr(second_tab + 1), body + before);

    const int entry_chars = chars(text) - chars(before);
    for (const std::string& tags : tags_over(0, entry_chars))
        EXPECT_EQ(tags, "");
    EXPECT_EQ(cursor_offset(), 0);
}

TEST_F(ReportTest, FirstFormNeverReadsTheArgumentAsAFormat) {
    const std::string before = log_text();
    log_message("Mkdir %s", "/tmp/%s%n%d", LM_ERROR);
    const std::string text = log_text();
    const std::size_t second_tab = text.find('\t', 1);
    ASSERT_NE(second_tab, std::string::npos);
    EXPECT_EQ(text.substr(second_tab + 1), " Mkdir /tmp/%s%n%d\n" + kRule + "\n" + before);
}

TEST_F(ReportTest, SecondFormPutsTheTextOnTopWithTheKindsTag) {
    const struct {
        int kind;
        const char* tag;
    } kinds[] = {{LM_NORMAL, "lm_normal"},
                 {LM_ERROR, "lm_error"},
                 {LM_ADVICE, "lm_advice"},
                 {LM_GREET, "lm_greet"}};
    for (const auto& k : kinds) {
        const std::string before = log_text();
        put_cursor_at_end();
        log_message("config reloaded", k.kind);
        const std::string entry = " config reloaded\n" + kRule + "\n";
        EXPECT_EQ(log_text(), entry + before) << k.kind;
        for (const std::string& tags : tags_over(0, chars(entry)))
            EXPECT_EQ(tags, k.tag);
        EXPECT_EQ(cursor_offset(), 0);
    }
}

TEST_F(ReportTest, SecondFormShowsPercentSignsLiterally) {
    const std::string before = log_text();
    log_message("100% fait, %s %d %n", LM_ADVICE);
    EXPECT_EQ(log_text(), " 100% fait, %s %d %n\n" + kRule + "\n" + before);
}

TEST_F(ReportTest, OtherKindsChangeNothingButScrollToTop) {
    log_message("config reloaded", LM_NORMAL);
    const std::string before = log_text(true);
    for (int kind : {12, 17, 0, -1}) {
        put_cursor_at_end();
        log_message("ignored", kind);
        EXPECT_EQ(log_text(true), before) << kind;
        EXPECT_EQ(cursor_offset(), 0) << kind;
    }
}

TEST_F(ReportTest, PictureHeadsTheFirstFormEntry) {
    TempPixmaps pixmaps({"orvane_ok2.png"});
    const std::string before = log_text(true);
    log_icon_ok();
    log_message("%s fait", "make", LM_NORMAL);
    const std::string text = log_text(true);
    ASSERT_EQ(text.substr(0, kPicture.size() + 1), kPicture + "\t");
    EXPECT_EQ(picture_width_at(0), pixmaps.width_of("orvane_ok2.png"));
    const std::size_t second_tab = text.find('\t', kPicture.size() + 1);
    ASSERT_NE(second_tab, std::string::npos);
    EXPECT_EQ(text.substr(second_tab + 1), " make fait\n" + kRule + "\n" + before);
}

TEST_F(ReportTest, PictureStaysOnTopOfItsEntryEvenAfterAClickInTheLog) {
    TempPixmaps pixmaps({"orvane_log.png"});
    log_message("older entry", LM_NORMAL);
    const std::string before = log_text(true);
    put_cursor_at_end(); // a click far down in the log
    log_icon_info();
    log_message("%s rechargé", "orvane_rc", LM_NORMAL);
    const std::string text = log_text(true);
    ASSERT_EQ(text.substr(0, kPicture.size() + 1), kPicture + "\t");
    const std::size_t second_tab = text.find('\t', kPicture.size() + 1);
    ASSERT_NE(second_tab, std::string::npos);
    EXPECT_EQ(text.substr(second_tab + 1), " orvane_rc rechargé\n" + kRule + "\n" + before);
}

TEST_F(ReportTest, SecondFormEntryGoesInFrontOfThePictureJustInserted) {
    TempPixmaps pixmaps({"orvane_stop2.png"});
    const std::string before = log_text(true);
    log_icon_error();
    log_message("Mount [ERROR]", LM_ERROR);
    const std::string entry = " Mount [ERROR]\n" + kRule + "\n";
    EXPECT_EQ(log_text(true), entry + kPicture + before);
    EXPECT_EQ(picture_width_at(chars(entry)), pixmaps.width_of("orvane_stop2.png"));
    // The next formatted entry goes on top, above both.
    log_message("%s", "next", LM_NORMAL);
    EXPECT_EQ(log_text(true).substr(0, 1), "\t");
}

TEST_F(ReportTest, EachLogPictureComesFromItsOwnFile) {
    TempPixmaps pixmaps({"orvane_log.png", "orvane_stop2.png", "orvane_ok2.png", "orvane_man.png",
                         "orvane_save2.png", "orvane_nosave2.png"});
    const struct {
        void (*op)();
        const char* file;
    } pictures[] = {
        {log_icon_info, "orvane_log.png"},    {log_icon_error, "orvane_stop2.png"},
        {log_icon_ok, "orvane_ok2.png"},      {log_icon_help, "orvane_man.png"},
        {log_icon_saved, "orvane_save2.png"}, {log_icon_not_saved, "orvane_nosave2.png"}};
    for (const auto& p : pictures) {
        p.op();
        EXPECT_EQ(picture_width_at(0), pixmaps.width_of(p.file)) << p.file;
    }
}

TEST_F(ReportTest, MissingPictureInsertsNothing) {
    TempPixmaps pixmaps({});
    const std::string before = log_text(true);
    log_icon_help();
    log_icon_saved();
    EXPECT_EQ(log_text(true), before);
    log_message("%s", "after", LM_NORMAL);
    EXPECT_EQ(log_text(true).substr(0, 1), "\t");
}

namespace {
class EmptyDateTimeTest : public GuiTest {
    void prepare_home() override { write_config_file("orvane_rc", "date_time=\n"); }
};
} // namespace

TEST_F(EmptyDateTimeTest, EmptyDateTimeShowsOneBlankBetweenTheTabs) {
    const std::string before = log_text();
    log_message("%s est créé", "/tmp/a.bak", LM_NORMAL);
    EXPECT_EQ(log_text(), "\t \t /tmp/a.bak est créé\n" + kRule + "\n" + before);
}

namespace {
class ErrorColorsTest : public GuiTest {
    void prepare_home() override {
        write_config_file("orvane_rc", "tag_color_lm_error_fg=#00ff00\n"
                                       "tag_color_lm_error_bg=no-such-colour\n"
                                       "text_foreground=#112233\n"
                                       "text_background=no-such-colour\n"
                                       "text_sel_foreground=yellow\n"
                                       "text_sel_background=#445566\n");
    }
};
} // namespace

TEST_F(ErrorColorsTest, ErrorTagTakesTheSettingsAndIgnoresUnknownColours) {
    EXPECT_TRUE(same_color(tag_color("lm_error", "foreground-rgba"), "#00ff00"));
    GtkTextTag* tag =
        gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(log_buffer()), "lm_error");
    gboolean background_set = TRUE;
    g_object_get(tag, "background-set", &background_set, nullptr);
    EXPECT_FALSE(background_set);
    log_apply_error_tag_colors();
    EXPECT_TRUE(same_color(tag_color("lm_error", "foreground-rgba"), "#00ff00"));
}

namespace {
// A window with an entry and a source view on a dark scheme, for colour checks.
struct ColourWindow {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWidget* entry = gtk_entry_new();
    GtkWidget* view = gtk_source_view_new();

    ColourWindow() {
        GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        gtk_widget_set_size_request(view, 100, 100);
        gtk_box_pack_start(GTK_BOX(box), entry, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(box), view, TRUE, TRUE, 0);
        gtk_container_add(GTK_CONTAINER(window), box);
        GtkSourceStyleScheme* cobalt = gtk_source_style_scheme_manager_get_scheme(
            gtk_source_style_scheme_manager_get_default(), "cobalt");
        gtk_source_buffer_set_style_scheme(
            GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view))), cobalt);
        gtk_widget_show_all(window);
    }
    ~ColourWindow() { gtk_widget_destroy(window); }

    // Style changes reach the screen on later frames, through the theme's transitions.
    bool entry_text_becomes(const char* spec) {
        return spin_until(
            [&] {
                GdkRGBA fg;
                gtk_style_context_get_color(gtk_widget_get_style_context(entry),
                                            GTK_STATE_FLAG_NORMAL, &fg);
                return same_color(fg, spec);
            },
            3000);
    }
    // The colour drawn in the middle of the empty view, as 0xRRGGBB.
    unsigned view_background() {
        spin_for(100);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 100, 100);
        cairo_t* cr = cairo_create(surface);
        gtk_widget_draw(view, cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        unsigned pixel = *reinterpret_cast<const uint32_t*>(data + 50 * stride + 50 * 4);
        cairo_surface_destroy(surface);
        return pixel & 0xffffff;
    }
};

class TextColoursTest : public GuiTest {
    void prepare_home() override {
        write_config_file("orvane_rc", "text_foreground=#112233\n"
                                       "text_background=#00ff00\n"
                                       "text_sel_foreground=yellow\n"
                                       "text_sel_background=#445566\n");
    }
};
} // namespace

TEST_F(TextColoursTest, ColoursReachEntriesAndSourceViewsOverTheirScheme) {
    ColourWindow w;
    const unsigned scheme_background = w.view_background();
    ASSERT_NE(scheme_background, 0x00ff00u);
    for (int round = 0; round < 2; ++round) {
        apply_text_colors_to(w.entry);
        apply_text_colors_to(w.view);
    }
    apply_text_colors_to(nullptr);
    EXPECT_TRUE(w.entry_text_becomes("#112233"));
    EXPECT_EQ(w.view_background(), 0x00ff00u);
}

TEST_F(ErrorColorsTest, UnknownColourNameLeavesTheOthersWorking) {
    ColourWindow w;
    const unsigned scheme_background = w.view_background();
    apply_text_colors_to(w.entry);
    apply_text_colors_to(w.view);
    EXPECT_TRUE(w.entry_text_becomes("#112233"));
    EXPECT_EQ(w.view_background(), scheme_background);
    // No warning was logged: the fixture checks that when the test ends.
}

TEST_F(ReportTest, SameStatusTextTwiceIsPushedTwiceUnderOneContext) {
    GtkStatusbar* bar = GTK_STATUSBAR(status_bar());
    ASSERT_NE(bar, nullptr);
    status_message("Save [OK]");
    status_message(std::string("Save [OK]"));
    EXPECT_EQ(status_text(), "Save [OK]");
    const guint context = gtk_statusbar_get_context_id(bar, "Save [OK]");
    status_message("Mount [ERROR]");
    EXPECT_EQ(status_text(), "Mount [ERROR]");
    gtk_statusbar_pop(bar, gtk_statusbar_get_context_id(bar, "Mount [ERROR]"));
    EXPECT_EQ(status_text(), "Save [OK]");
    gtk_statusbar_pop(bar, context);
    EXPECT_EQ(status_text(), "Save [OK]"); // the second push is still there
    status_message(static_cast<const char*>(nullptr));
    EXPECT_EQ(status_text(), "Save [OK]");
}

TEST_F(ReportTest, IndicatorStaysTheLastChildOfItsRow) {
    TempPixmaps pixmaps({"orvane_ok.png", "orvane_stop.png", "orvane_net.png", "orvane_advance.png",
                         "orvane_nosave.png", "orvane_save.png"});
    GtkWidget* first = indicator_widget();
    ASSERT_NE(first, nullptr);
    GtkWidget* row = gtk_widget_get_parent(first);
    ASSERT_TRUE(GTK_IS_BOX(row));
    GList* start_children = gtk_container_get_children(GTK_CONTAINER(row));
    const guint count = g_list_length(start_children);
    g_list_free(start_children);

    const struct {
        void (*op)();
        const char* file;
    } states[] = {
        {indicator_stop, "orvane_stop.png"},    {indicator_net, "orvane_net.png"},
        {indicator_busy, "orvane_advance.png"}, {indicator_not_saved, "orvane_nosave.png"},
        {indicator_saved, "orvane_save.png"},   {indicator_ok, "orvane_ok.png"},
        {indicator_ok, "orvane_ok.png"}};
    for (const auto& s : states) {
        s.op();
        GtkWidget* image = indicator_widget();
        ASSERT_TRUE(image && GTK_IS_IMAGE(image)) << s.file;
        EXPECT_EQ(gtk_widget_get_parent(image), row) << s.file;
        GList* children = gtk_container_get_children(GTK_CONTAINER(row));
        EXPECT_EQ(g_list_length(children), count) << s.file;
        EXPECT_EQ(g_list_last(children)->data, image) << s.file;
        g_list_free(children);
        GdkPixbuf* picture = gtk_image_get_pixbuf(GTK_IMAGE(image));
        ASSERT_NE(picture, nullptr) << s.file;
        EXPECT_EQ(gdk_pixbuf_get_width(picture), pixmaps.width_of(s.file)) << s.file;
        gint w = 0, h = 0;
        gtk_widget_get_size_request(image, &w, &h);
        EXPECT_EQ(w, 35);
        EXPECT_EQ(h, 10);
        EXPECT_TRUE(gtk_widget_get_visible(image));
        gboolean expand = TRUE, fill = TRUE;
        guint padding = 1;
        gtk_box_query_child_packing(GTK_BOX(row), image, &expand, &fill, &padding, nullptr);
        EXPECT_FALSE(expand);
        EXPECT_FALSE(fill);
        EXPECT_EQ(padding, 0u);
    }
}

TEST_F(ReportTest, IndicatorWithoutItsPictureIsAnEmptyImage) {
    TempPixmaps pixmaps({});
    indicator_busy();
    GtkWidget* image = indicator_widget();
    ASSERT_TRUE(image && GTK_IS_IMAGE(image));
    EXPECT_EQ(gtk_image_get_storage_type(GTK_IMAGE(image)), GTK_IMAGE_EMPTY);
}

namespace {
std::vector<bool>& hook_calls() {
    static std::vector<bool> calls;
    return calls;
}
void record_hook(bool visible) {
    hook_calls().push_back(visible);
}
} // namespace

TEST_F(ReportTest, SavedStatesReachTheDocumentsHook) {
    hook_calls().clear();
    indicator_saved(); // nothing registered: nothing to call
    indicator_set_saved_hook(record_hook);
    indicator_not_saved();
    indicator_saved();
    indicator_ok();
    indicator_set_saved_hook(nullptr);
    indicator_not_saved();
    EXPECT_EQ(hook_calls(), (std::vector<bool>{false, true}));
}

TEST_F(ReportTest, NotificationWithoutAServiceReturnsAtOnce) {
    // The test bus has no notification service: each call must be dropped
    // quickly, not wait for a reply that never comes.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i)
        notify_user("Le fichier est créé.");
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_LT(spent, std::chrono::seconds(1));
}

TEST_F(ReportTest, ReportingWithoutTheWidgetsDoesNothing) {
    destroy_window();
    // The window's widgets are gone; every channel must now be a no-op.
    EXPECT_EQ(log_view(), nullptr);
    EXPECT_EQ(status_bar(), nullptr);
    EXPECT_EQ(indicator_widget(), nullptr);
    log_message("%s", "x", LM_NORMAL);
    log_message("x", LM_NORMAL);
    log_icon_info();
    log_scroll_to_top();
    log_apply_error_tag_colors();
    status_message("Save [OK]");
    indicator_busy();
    EXPECT_EQ(indicator_widget(), nullptr);
}
