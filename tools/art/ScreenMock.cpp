// Mock-ups of the game's screens from an asset pack: every sheet pasted where
// the screens draw it, with the screens' texts written at their places, so
// the art can be judged in place before the game runs.
//   zephyrion-screen-mock <pack> <folder>
// Writes main-menu.png, options.png, high-scores.png, help-controls.png,
// help-about.png, exit-dialog.png, name-entry.png, retry-dialog.png, hud.png.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Art.h"
#include "PackReader.h"

namespace {

std::vector<packreader::TEntry> Pack;

struct TScreen {
    cairo_surface_t* Surface;
    uint32_t* Pixels;
    int Stride;
    TScreen()
    {
        Surface = NewCanvas(800, 600);
        Pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(Surface));
        Stride = cairo_image_surface_get_stride(Surface) / 4;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                Pixels[size_t(y) * size_t(Stride) + size_t(x)] = 0xFF000000u;
    }
    ~TScreen() { cairo_surface_destroy(Surface); }

    // A whole sheet (or its rectangle sx, sy, w, h) at (x, y), keyed or opaque.
    void Blit(int entry, int x, int y, bool keyed, int sx = 0, int sy = 0, int w = -1, int h = -1)
    {
        const TPicture& p = Pack[size_t(entry)].Picture;
        if (w < 0)
            w = p.Width;
        if (h < 0)
            h = p.Height;
        const uint32_t key = (entry >= 3 && entry <= 7) ? 0 : Magenta;
        cairo_surface_flush(Surface);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const int px = x + i, py = y + j;
                if (px < 0 || py < 0 || px >= 800 || py >= 600 || sx + i >= p.Width || sy + j >= p.Height)
                    continue;
                const uint32_t c = p.Pixels[size_t(sy + j) * size_t(p.Width) + size_t(sx + i)];
                if (keyed && c == key)
                    continue;
                Pixels[size_t(py) * size_t(Stride) + size_t(px)] = 0xFF000000u | c;
            }
        cairo_surface_mark_dirty(Surface);
    }

    // Text the way the game writes it: top-left at (x, y), cell height h, average character width w.
    void Text(double x, double y, const std::string& text, double h, double w, uint32_t rgb, bool shadow,
              bool alignRight = false)
    {
        cairo_t* cr = cairo_create(Surface);
        cairo_select_font_face(cr, "Play", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        const double size = h / 1.16;
        cairo_set_font_size(cr, size);
        cairo_text_extents_t e;
        const char* sample = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        cairo_text_extents(cr, sample, &e);
        const double sx = w / (e.x_advance / 52.0);
        cairo_text_extents(cr, text.c_str(), &e);
        const double width = e.x_advance * sx;
        if (alignRight)
            x -= width;
        auto put = [&](double px, double py, uint32_t c) {
            cairo_save(cr);
            cairo_translate(cr, px, py + 0.94 * size);
            cairo_scale(cr, sx, 1.0);
            cairo_move_to(cr, 0, 0);
            cairo_set_source_rgb(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
            cairo_show_text(cr, text.c_str());
            cairo_restore(cr);
        };
        if (shadow)
            put(x + 1, y + 1, rgb == 0x00FF00 ? 0x78FF78 : 0x30BB30);
        put(x, y, rgb);
        cairo_destroy(cr);
    }

    void Save(const std::string& path)
    {
        if (cairo_surface_write_to_png(Surface, path.c_str()) != CAIRO_STATUS_SUCCESS)
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
    }
};

constexpr uint32_t Bright = 0x00FF00, Dark = 0x228822, Red = 0xFF0000;

void SubmenuFrame(TScreen& s)
{
    s.Blit(60, 0, 0, false);
    s.Blit(89, 0, 0, true);
    s.Blit(90, 388, 0, true);
}

void HelpFrame(TScreen& s, int litButton)
{
    SubmenuFrame(s);
    s.Blit(84, 440, 530, true);
    s.Blit(83, 550, 530, true);
    s.Blit(94, 660, 530, true);
    s.Text(475, 25, "HELP", 28, 18, Bright, true);
    const int rects[3][2] = {{434, 523}, {544, 523}, {653, 523}};
    const int lit[3] = {75, 76, 74};
    s.Blit(lit[litButton], rects[litButton][0], rects[litButton][1], true);
}

// A frozen game frame: the two background layers and the player ship.
void GameFrame(TScreen& s)
{
    for (int y = -100; y < 600; y += 486)
        for (int x = 0; x < 800; x += 512)
            s.Blit(2, x, y, true);
    for (int y = 0; y < 600; y += 200)
        for (int x = 0; x < 800; x += 300)
            s.Blit(3, x, y, true);
    s.Blit(8, 368, 470, true, 0, 0, 65, 100);
}

void DialogButtons(TScreen& s, const char* a, int ax, const char* b, int bx, bool first)
{
    s.Text(ax, 340, a, 46, 20, first ? Bright : Dark, true);
    s.Text(bx, 340, b, 46, 20, first ? Dark : Bright, true);
}

void Hud(TScreen& s)
{
    s.Blit(81, 0, 0, true);
    s.Blit(82, 652, 37, true);
    s.Blit(80, 80, 4, true);
    s.Blit(67, 760, 245 - 120, true);
    s.Text(315, 5, "Level 2-3", 18, 10, Bright, true);
    s.Text(140, 5, "3", 18, 10, Bright, true);
    s.Text(533, 5, "Score", 18, 10, Bright, false);
    s.Text(720, 5, "1234560", 18, 10, Bright, false, true);
    const int energy = 90, armour = 40;
    s.Blit(1, 780, 454 - energy, true, 0, 124 - energy, 10, energy);
    s.Blit(0, 747, 454 - 2 * armour, true, 0, 124 - 2 * armour, 10, 2 * armour);
    s.Blit(99, 733, 545, false);
    s.Blit(59, 663, 518, true);
    s.Text(721, 521, "X 25", 18, 10, Bright, true);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <pack> <folder>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bool damaged = false;
    Pack = packreader::ReadPack(bytes, 0, 101, damaged);
    if (damaged || Pack.size() != 102) {
        std::fprintf(stderr, "the pack is damaged; no mock-ups drawn\n");
        return 1;
    }
    const std::string dir = argv[2];

    {
        TScreen s;
        s.Blit(60, 0, 0, false);
        s.Blit(89, 0, 0, true);
        s.Blit(91, 461, 327, true);
        s.Blit(63, 470, 415, true);
        s.Save(dir + "/main-menu.png");
    }
    {
        TScreen s;
        SubmenuFrame(s);
        s.Text(420, 25, "Options", 28, 18, Bright, true);
        const char* labels[] = {"Display", "Music", "Sound", "Your country", "Boss key"};
        const int ys[] = {238, 299, 359, 425, 485};
        for (int i = 0; i < 5; ++i)
            s.Text(120, ys[i], labels[i], 18, 12, Bright, false);
        s.Blit(77, 300, 230, true);
        s.Blit(78, 327, 292, true);
        s.Blit(78, 327, 352, true);
        s.Blit(69, 309, 477, true);
        s.Blit(94, 621, 540, true);
        s.Blit(96, 295, 226, true);      // display row selected
        s.Blit(68, 309, 413, false);     // country field idle
        s.Text(317, 419, "Germany", 32, 20, Bright, false);
        s.Text(320, 238, "Window", 18, 14, Bright, false);
        s.Text(344, 298, "On", 18, 14, Bright, false);
        s.Text(344, 358, "Off", 18, 10, Bright, false);
        s.Text(364, 488, "F12", 18, 14, Bright, false);
        s.Save(dir + "/options.png");
        // the same with the country field and the Sound row
        s.Blit(77, 300, 230, true);
        s.Blit(78, 327, 352, true);
        s.Blit(95, 322, 347, true);
        s.Blit(97, 305, 409, true);
        s.Text(317, 419, "Germany", 32, 20, Bright, false);
        s.Text(320, 238, "Window", 18, 14, Bright, false);
        s.Text(344, 358, "Off", 18, 10, Bright, false);
        s.Blit(98, 305, 473, true);
        s.Text(364, 488, "F12", 18, 14, Bright, false);
        s.Save(dir + "/options-active.png");
    }
    {
        TScreen s;
        s.Blit(60, 0, 0, false);
        for (int i = 0; i <= 10; ++i)
            s.Blit(70, 250, 120 + 36 * i, false);
        s.Blit(89, 0, 0, true);
        s.Blit(90, 388, 0, true);
        s.Text(420, 25, "High Score", 28, 18, Bright, true);
        s.Blit(92, 50, 140, true);
        s.Blit(93, 50, 210, true);
        s.Blit(94, 121, 460, false);
        s.Blit(71, 43, 133, true);
        s.Text(270, 124, "Place", 24, 16, Bright, true);
        s.Text(450, 124, "Name", 24, 14, Bright, true);
        s.Text(640, 124, "Score", 24, 16, Bright, true);
        const char* names[] = {"Anna", "Boris", "Carla", "Dmitri", "Eva", "Fedor", "Gala", "Hugo", "Ivan", "Jana"};
        for (int k = 1; k <= 10; ++k) {
            const uint32_t c = k == 1 ? Bright : Dark;
            const int y = 160 + 36 * (k - 1);
            s.Text(310, y, std::to_string(k), 24, 16, c, true);
            s.Text(410, y, names[k - 1], 24, 14, c, true);
            s.Text(640, y, std::to_string(200000 - 17000 * k), 24, 16, c, true);
        }
        s.Save(dir + "/high-scores.png");
    }
    {
        TScreen s;
        HelpFrame(s, 1);
        s.Text(40, 140, "CONTROLS", 28, 18, Bright, true);
        const char* lines[] = {
            "MENU NAVIGATIONS",
            "Use the cursor keys or mouse to move the menu cursor up and down",
            "Press the \"Enter\" key or any mouse button to enter menu options",
            "Press the \"Left Arrow\", \"Right Arrow\", \"Enter\" keys or any mouse",
            "button to change a menu option.",
            "Press \"Esc\" to back from the submenu to Main Menu",
            "GAME NAVIGATIONS",
            "Use the arrow keys or mouse to move the spaceship",
            "Press \"Ctrl\" key or left mouse button to fire.",
            "Use \"P\" to pause or resume the game.",
            "Use \"Escape\" key to quit the game to Main Menu.",
            "Use \"Alt\"+\"Enter\" keys to change window/full screen modes.",
        };
        const int ys[] = {180, 210, 230, 250, 270, 290, 320, 350, 370, 390, 410, 430};
        for (int i = 0; i < 12; ++i) {
            const bool heading = i == 0 || i == 6;
            s.Text(40, ys[i], lines[i], heading ? 18 : 14, 10, heading ? Bright : Dark, false);
        }
        s.Save(dir + "/help-controls.png");
    }
    {
        TScreen s;
        HelpFrame(s, 2);
        s.Text(40, 140, "ABOUT", 28, 18, Bright, true);
        s.Blit(101, 40, 220, true);
        s.Text(170, 220, "ZEPHYRION v.2.0", 28, 18, Bright, false);
        s.Text(170, 255, "(c) 2026 Zephyrion team", 28, 18, Dark, false);
        s.Text(170, 290, "zephyrion.example", 28, 18, Dark, false);
        s.Save(dir + "/help-about.png");
    }
    {
        TScreen s;
        s.Blit(60, 0, 0, false);
        s.Blit(79, 190, 200, false);
        s.Blit(89, 0, 0, true);
        s.Text(300, 260, "Exit game?", 46, 20, Dark, true);
        DialogButtons(s, "Yes", 280, "No", 460, true);
        s.Save(dir + "/exit-dialog.png");
    }
    {
        TScreen s;
        GameFrame(s);
        Hud(s);
        s.Blit(79, 215, 200, false);
        s.Text(290, 232, "Your score is 123456", 24, 14, Dark, true);
        s.Text(250, 254, "Please enter your name", 24, 14, Dark, true);
        DialogButtons(s, "Ok", 280, "Cancel", 420, true);
        s.Blit(97, 236, 280, true);
        s.Text(248, 290, "Anna", 32, 20, Bright, false);
        s.Save(dir + "/name-entry.png");
    }
    {
        TScreen s;
        GameFrame(s);
        Hud(s);
        s.Blit(79, 190, 200, false);
        DialogButtons(s, "Yes", 280, "No", 460, false);
        s.Text(254, 252, "Can not connect to", 24, 15, Red, true);
        s.Text(290, 282, "server! Repeat?", 24, 15, Red, true);
        s.Blit(83, 0, 0, false);
        s.Save(dir + "/retry-dialog.png");
    }
    {
        TScreen s;
        GameFrame(s);
        Hud(s);
        s.Blit(100, 670, 545, false);
        s.Save(dir + "/hud.png");
    }
    return 0;
}
