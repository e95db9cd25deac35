// index.html, the frameset, and menu.html, its left-hand menu. Neither
// depends on the book; only the menu's time stamp changes from run to run.
#include "sjis_pages/page_blocks.h"
#include "sjis_pages/pages.h"

namespace ledgerwise {

Status WriteIndexPage(const VsLogBook&, FileSystem& fs, const std::string& path) {
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  w.Line("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Frameset//EN\">");
  w.Line("");
  w.Line("<head>");
  w.Line("<meta http-equiv=\"content-type\" content=\"text/html; charset=Shift_JIS\">");
  // <title>Brumbel対戦ログ分析</title>
  w.Line("<title>Brumbel\x91\xce\x90\xed\x83\x8d\x83\x4f\x95\xaa\x90\xcd</title>");
  w.Line("</head>");
  w.Line("");
  w.Line("<FRAMESET cols=162,1*>");
  w.Line("<FRAME name=LEFT_FRAME src=\"./menu.html\">");
  w.Line("<FRAME name=RIGHT_FRAME src=\"./personal.html\">");
  // <NOFRAMES><P>このページを表示するには、フレームをサポートしているブラウザが必要です。</P></NOFRAMES>
  w.Line(
      "<NOFRAMES><P>"
      "\x82\xb1\x82\xcc\x83\x79\x81\x5b\x83\x57\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\x82\xc9\x82"
      "\xcd\x81\x41\x83\x74\x83\x8c\x81\x5b\x83\x80\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\x82\xb5"
      "\x82\xc4\x82\xa2\x82\xe9\x83\x75\x83\x89\x83\x45\x83\x55\x82\xaa\x95\x4b\x97\x76\x82\xc5\x82"
      "\xb7\x81\x42</P></NOFRAMES>");
  w.Line("</FRAMESET>");
  w.Line("</BODY>");
  w.Line("</HTML>");
  return w.Finish();
}

namespace {

constexpr std::string_view kMenuHead =
    R"(<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html lang="ja">

<head>
	<meta http-equiv="content-type" content="text/html; charset=Shift_JIS">
	<title>)"
    "\x83\x81\x83\x6a\x83\x85\x81\x5b"
    R"(</title>
</head>

<body bgcolor="#002567" text="#ffffff" link="#ff6e00" vlink="#ff6e00" alink="#ff6e00">

<div align=left>
<table cellSpacing=0 cellPadding=0 width=154 border=0><tbody>
	<TR><TD width=154>
		<TABLE cellSpacing=0 cellPadding=0 width=130 align=center border=0><tbody>
			<TR><TD><P align=left><FONT size=3>)"
    "\x81\xa1\x95\xaa\x90\xcd\x8c\x8b\x89\xca"
    R"(</FONT></P></TD></TR>
)";  // メニュー, ■分析結果

constexpr std::string_view kMenuGap = "\t\t\t<TR><TD height=20><P>&nbsp;</P></TD></TR>\n";

// The four content pages, in menu order.
struct MenuEntry {
  std::string_view page;
  std::string_view label;
};
constexpr MenuEntry kMenuEntries[] = {
    {"personal.html", "\x8c\xc2\x90\x6c\x90\xed\x90\xd1"},  // 個人戦績
    {"observation.html",
     "\x92\xe8\x93\x5f\x8a\xcf\x91\xaa\x83\x66\x81\x5b\x83\x5e"},  // 定点観測データ
    {"ranking.html", "\x83\x89\x83\x93\x83\x4c\x83\x93\x83\x4f"},  // ランキング
    {"vslog.html", "\x91\xce\x90\xed\x83\x8d\x83\x4f"},            // 対戦ログ
};

constexpr std::string_view kMenuFoot = R"(<TD>
</TBODY></TABLE></TD></TR></TBODY></TABLE></DIV>

<HR>
<FONT size=2>
)";

}  // namespace

Status WriteMenuPage(const VsLogBook&, FileSystem& fs, const std::string& path,
                     const LocalTime& now) {
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  w.Text(kMenuHead);
  w.Text(kMenuGap);
  for (const MenuEntry& entry : kMenuEntries) {
    //    <TR><TD><P><FONT size=2>　　<A href="./PAGE"
    //    target=RIGHT_FRAME>LABEL</A></FONT></P></TD></TR>
    w.Format(
        "\t\t\t<TR><TD><P><FONT size=2>\x81\x40\x81\x40<A href=\"./%s\" target=RIGHT_FRAME>%s"
        "</A></FONT></P></TD></TR>",
        {entry.page, entry.label});
    w.Text(kMenuGap);
  }
  w.Text(kMenuGap);
  w.Text(kMenuFoot);
  // 更新日時:%4d-%02d-%02d %02d:%02d:%02d
  w.Format("\x8d\x58\x90\x56\x93\xfa\x8e\x9e:%4d-%02d-%02d %02d:%02d:%02d",
           {now.year, now.month, now.day, now.hour, now.minute, now.second});
  w.Format("<P align=right>Powered by Ledgerwise %s</P>", {kVersionText});
  w.Line("<P align=right><A href=\"mailto:ledgerwise@example.org\">ledgerwise@example.org</A></P>");
  w.Line("</font>");
  w.Line(kPageEnd);
  return w.Finish();
}

}  // namespace ledgerwise
