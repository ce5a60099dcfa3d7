#include "tags/tagcatalogue.h"

#include <array>

namespace pennoro {

namespace {

using enum TagShape;
using enum TagMenu;

constexpr QKeyCombination none{};
constexpr QStringView font = u"</FONT>";

constexpr std::array<TagSubmenu, 4> submenuTable{{
    {Colour, u"mnuTG4", u"文字色(&C)"},
    {Size, u"mnuTG5", u"文字ｻｲｽﾞ(&S)"},
    {Font, u"mnuTG3", u"ﾌｫﾝﾄ(&F)"},
    {Extension, u"mnuTGK", u"拡張(&O)"},
}};

// clang-format off
constexpr std::array<TagCommand, 55> commands{{
    // control     caption              shortcut                      shape  open                                  middle  close       menu
    {u"mnuTG6",    u"太字(&B)",         Qt::CTRL | Qt::Key_B,         Wrap,  u"<B>",                               {},     u"</B>",    TopLevel},
    {u"mnuTG7",    u"斜体(&N)",         none,                         Wrap,  u"<I>",                               {},     u"</I>",    TopLevel},

    {u"mnuTG41",   u"赤色",             none,                         Wrap,  u"<FONT COLOR=\"#FF0000\">",          {},     font,       Colour},
    {u"mnuTG40",   u"紅色",             none,                         Wrap,  u"<FONT COLOR=\"#D24D82\">",          {},     font,       Colour},
    {u"mnuTG415",  u"朱色",             none,                         Wrap,  u"<FONT COLOR=\"#FF8686\">",          {},     font,       Colour},
    {u"mnuTG416",  u"橙色",             none,                         Wrap,  u"<FONT COLOR=\"#FF9A35\">",          {},     font,       Colour},
    {u"mnuTG43",   u"黄色",             none,                         Wrap,  u"<FONT COLOR=\"#D9D900\">",          {},     font,       Colour},
    {u"mnuTG413",  u"黄緑色",           none,                         Wrap,  u"<FONT COLOR=\"#7BF700\">",          {},     font,       Colour},
    {u"mnuTG46",   u"緑色",             none,                         Wrap,  u"<FONT COLOR=\"#00AA3C\">",          {},     font,       Colour},
    {u"mnuTG412",  u"青緑色",           none,                         Wrap,  u"<FONT COLOR=\"#008080\">",          {},     font,       Colour},
    {u"mnuTG47",   u"空色",             none,                         Wrap,  u"<FONT COLOR=\"#00DFFF\">",          {},     font,       Colour},
    {u"mnuTG42",   u"青色",             none,                         Wrap,  u"<FONT COLOR=\"#0000FF\">",          {},     font,       Colour},
    {u"mnuTG45",   u"紺色",             none,                         Wrap,  u"<FONT COLOR=\"#000080\">",          {},     font,       Colour},
    {u"mnuTG419",  u"藤色",             none,                         Wrap,  u"<FONT COLOR=\"#0080C0\">",          {},     font,       Colour},
    {u"mnuTG417",  u"桃色",             none,                         Wrap,  u"<FONT COLOR=\"#FF80C0\">",          {},     font,       Colour},
    {u"mnuTG414",  u"薄紫色",           none,                         Wrap,  u"<FONT COLOR=\"#B5B5FF\">",          {},     font,       Colour},
    {u"mnuTG48",   u"紫色",             none,                         Wrap,  u"<FONT COLOR=\"#8000FF\">",          {},     font,       Colour},
    {u"mnuTG420",  u"茶色",             none,                         Wrap,  u"<FONT COLOR=\"#804040\">",          {},     font,       Colour},
    {u"mnuTG49",   u"黄土色",           none,                         Wrap,  u"<FONT COLOR=\"#808040\">",          {},     font,       Colour},
    {u"mnuTG411",  u"灰色",             none,                         Wrap,  u"<FONT COLOR=\"#808080\">",          {},     font,       Colour},
    {u"mnuTG44",   u"黒色",             none,                         Wrap,  u"<FONT COLOR=\"#000000\">",          {},     font,       Colour},
    {u"mnuTG421",  u"白色",             none,                         Wrap,  u"<FONT COLOR=\"#FFFFFF\">",          {},     font,       Colour},
    {u"mnuTG4N",   u"任意",             none,                         Wrap,  u"<FONT COLOR=\"#******\">",          {},     font,       Colour},

    {u"mnuTG51",   u"1",                none,                         Wrap,  u"<FONT SIZE=\"1\">",                 {},     font,       Size},
    {u"mnuTG52",   u"2",                none,                         Wrap,  u"<FONT SIZE=\"2\">",                 {},     font,       Size},
    {u"mnuTG53",   u"3",                none,                         Wrap,  u"<FONT SIZE=\"3\">",                 {},     font,       Size},
    {u"mnuTG54",   u"4",                none,                         Wrap,  u"<FONT SIZE=\"4\">",                 {},     font,       Size},
    {u"mnuTG55",   u"5",                none,                         Wrap,  u"<FONT SIZE=\"5\">",                 {},     font,       Size},
    {u"mnuTG56",   u"6",                none,                         Wrap,  u"<FONT SIZE=\"6\">",                 {},     font,       Size},
    {u"mnuTG57",   u"7",                none,                         Wrap,  u"<FONT SIZE=\"7\">",                 {},     font,       Size},

    {u"mnuTG3M5",  u"Arial",            none,                         Wrap,  u"<FONT FACE=\"Arial\">",             {},     font,       Font},
    {u"mnuTG3M9",  u"Comic Sans MS",    none,                         Wrap,  u"<FONT FACE=\"Comic Sans MS\">",     {},     font,       Font},
    {u"mnuTG3M7",  u"News Gothic MT",   none,                         Wrap,  u"<FONT FACE=\"News Gothic MT\">",    {},     font,       Font},
    {u"mnuTG3M8",  u"System",           none,                         Wrap,  u"<FONT FACE=\"System\">",            {},     font,       Font},
    {u"mnuTG3M6",  u"Times New Roman",  none,                         Wrap,  u"<FONT FACE=\"Times New Roman\">",   {},     font,       Font},
    {u"mnuTG3M1",  u"ＭＳ Ｐゴシック",  none,                         Wrap,  u"<FONT FACE=\"ＭＳ Ｐゴシック\">",   {},     font,       Font},
    {u"mnuTG3M2",  u"ＭＳ Ｐ明朝",      none,                         Wrap,  u"<FONT FACE=\"ＭＳ Ｐ明朝\">",       {},     font,       Font},
    {u"mnuTG3M3",  u"ＭＳ ゴシック",    none,                         Wrap,  u"<FONT FACE=\"ＭＳ ゴシック\">",     {},     font,       Font},
    {u"mnuTG3M4",  u"ＭＳ 明朝",        none,                         Wrap,  u"<FONT FACE=\"ＭＳ 明朝\">",         {},     font,       Font},

    {u"mnuTG8",    u"ﾏｰｷｰｽｸﾛｰﾙ(&E)",   none,                         Wrap,  u"<MARQUEE>",                         {},     u"</MARQUEE>", TopLevel},
    {u"mnuTG2",    u"ﾊｲﾊﾟｰﾘﾝｸ(&K)",    Qt::CTRL | Qt::Key_K,         Link,  u"<A HREF=\"",                        u"\">", u"</A>",    TopLevel},
    {u"mnuTG1",    u"画像(&I)",         Qt::CTRL | Qt::Key_I,         Wrap,  u"<IMG SRC=\"",                       {},     u"\">",     TopLevel},
    {u"mnuTG9",    u"改行(&R)",         none,                         Fixed, u"<BR>",                              {},     {},         TopLevel},
    {u"mnuTG0",    u"水平線(&L)",       none,                         Fixed, u"<HR>",                              {},     {},         TopLevel},

    {u"mnuTGK01",  u"<U>",              none,                         Wrap,  u"<U>",                               {},     u"</U>",    Extension},
    {u"mnuTGK1",   u"<STRONG>",         none,                         Wrap,  u"<STRONG>",                          {},     u"</STRONG>", Extension},
    {u"mnuTGK2",   u"<EM>",             none,                         Wrap,  u"<EM>",                              {},     u"</EM>",   Extension},
    {u"mnuTGK9",   u"<TT>",             none,                         Wrap,  u"<TT>",                              {},     u"</TT>",   Extension},
    {u"mnuTGK0",   u"<STRIKE>",         none,                         Wrap,  u"<STRIKE>",                          {},     u"</STRIKE>", Extension},
    {u"mnuTGK7",   u"<SUP>",            none,                         Wrap,  u"<SUP>",                             {},     u"</SUP>",  Extension},
    {u"mnuTGK8",   u"<SUB>",            none,                         Wrap,  u"<SUB>",                             {},     u"</SUB>",  Extension},
    {u"mnuTGK6",   u"<A NAME>",         none,                         Link,  u"<A NAME=\"",                        u"\">", u"</A>",    Extension},
    {u"mnuTGK4",   u"<PRE>",            none,                         Wrap,  u"<PRE>",                             {},     u"</PRE>",  Extension},
    {u"mnuTGK5",   u"<XMP>",            none,                         Wrap,  u"<XMP>",                             {},     u"</XMP>",  Extension},
    {u"mnuTGK3",   u"<!---->",          none,                         Wrap,  u"<!--",                              {},     u"-->",     Extension},
}};
// clang-format on

} // namespace

std::span<const TagCommand> tags::catalogue()
{
    return commands;
}

std::span<const TagSubmenu> tags::submenus()
{
    return submenuTable;
}

} // namespace pennoro
