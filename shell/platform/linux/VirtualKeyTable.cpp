#include "VirtualKeyTable.h"

#include <QHash>

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <utility>
#include <vector>

namespace platform::vk {
namespace {

struct Pair {
    int vk;
    unsigned long keysym;
};

// For each code the first pair is its usual keysym; further pairs are other
// keysyms keyboards send for the same key.
std::vector<Pair> buildTable()
{
    std::vector<Pair> t = {
        {3, XK_Break},
        {8, XK_BackSpace},
        {9, XK_Tab},
        {9, XK_ISO_Left_Tab},
        {12, XK_Clear},
        {12, XK_KP_Begin},
        {13, XK_Return},
        {13, XK_KP_Enter},
        {16, XK_Shift_L},
        {16, XK_Shift_R},
        {17, XK_Control_L},
        {17, XK_Control_R},
        {18, XK_Alt_L},
        {18, XK_Alt_R},
        {19, XK_Pause},
        {20, XK_Caps_Lock},
        {27, XK_Escape},
        {32, XK_space},
        {32, XK_KP_Space},
        {33, XK_Prior},
        {33, XK_KP_Prior},
        {34, XK_Next},
        {34, XK_KP_Next},
        {35, XK_End},
        {35, XK_KP_End},
        {36, XK_Home},
        {36, XK_KP_Home},
        {37, XK_Left},
        {37, XK_KP_Left},
        {38, XK_Up},
        {38, XK_KP_Up},
        {39, XK_Right},
        {39, XK_KP_Right},
        {40, XK_Down},
        {40, XK_KP_Down},
        {41, XK_Select},
        {43, XK_Execute},
        {44, XK_Print},
        {44, XK_Sys_Req},
        {45, XK_Insert},
        {45, XK_KP_Insert},
        {46, XK_Delete},
        {46, XK_KP_Delete},
        {47, XK_Help},
        {91, XK_Super_L},
        {92, XK_Super_R},
        {93, XK_Menu},
        {95, XF86XK_Sleep},
        {106, XK_KP_Multiply},
        {107, XK_KP_Add},
        {108, XK_KP_Separator},
        {109, XK_KP_Subtract},
        {110, XK_KP_Decimal},
        {111, XK_KP_Divide},
        {144, XK_Num_Lock},
        {145, XK_Scroll_Lock},
        {160, XK_Shift_L},
        {161, XK_Shift_R},
        {162, XK_Control_L},
        {163, XK_Control_R},
        {164, XK_Alt_L},
        {164, XK_Meta_L},
        {165, XK_Alt_R},
        {165, XK_Meta_R},
        {165, XK_ISO_Level3_Shift},
        {166, XF86XK_Back},
        {167, XF86XK_Forward},
        {168, XF86XK_Refresh},
        {168, XF86XK_Reload},
        {169, XF86XK_Stop},
        {170, XF86XK_Search},
        {171, XF86XK_Favorites},
        {172, XF86XK_HomePage},
        {172, XF86XK_WWW},
        {173, XF86XK_AudioMute},
        {174, XF86XK_AudioLowerVolume},
        {175, XF86XK_AudioRaiseVolume},
        {176, XF86XK_AudioNext},
        {177, XF86XK_AudioPrev},
        {178, XF86XK_AudioStop},
        {179, XF86XK_AudioPlay},
        {179, XF86XK_AudioPause},
        {180, XF86XK_Mail},
        {181, XF86XK_AudioMedia},
        {182, XF86XK_MyComputer},
        {183, XF86XK_Calculator},
        // US layout punctuation (the OEM codes)
        {186, XK_semicolon},
        {187, XK_equal},
        {188, XK_comma},
        {189, XK_minus},
        {190, XK_period},
        {191, XK_slash},
        {192, XK_grave},
        {219, XK_bracketleft},
        {220, XK_backslash},
        {221, XK_bracketright},
        {222, XK_apostrophe},
        {226, XK_less},
    };
    for (int i = 0; i < 10; ++i) {
        t.push_back({'0' + i, XK_0 + unsigned(i)});
        t.push_back({96 + i, XK_KP_0 + unsigned(i)});
    }
    for (int i = 0; i < 26; ++i) {
        t.push_back({'A' + i, XK_a + unsigned(i)});
        t.push_back({'A' + i, XK_A + unsigned(i)});
    }
    for (int i = 0; i < 24; ++i)
        t.push_back({112 + i, XK_F1 + unsigned(i)});
    return t;
}

const std::vector<Pair> &table()
{
    static const std::vector<Pair> t = buildTable();
    return t;
}

// Keysyms that name both a generic and a sided code resolve to the sided one.
const QHash<unsigned long, int> &byKeysym()
{
    static const QHash<unsigned long, int> map = [] {
        QHash<unsigned long, int> m;
        for (const Pair &p : table()) {
            if (p.vk >= 16 && p.vk <= 18)
                continue;
            if (!m.contains(p.keysym))
                m.insert(p.keysym, p.vk);
        }
        return m;
    }();
    return map;
}

} // namespace

int fromKeysym(unsigned long keysym)
{
    return byKeysym().value(keysym, 0);
}

bool isKeypad(unsigned long keysym)
{
    return keysym >= XK_KP_Space && keysym <= XK_KP_Equal;
}

} // namespace platform::vk
