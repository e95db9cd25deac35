#include "sjis_pages/page_blocks.h"

namespace ledgerwise {

namespace {

// "&nbsp" without its semicolon, as the pages have always written it.
constexpr std::string_view kSpacerRow = "<tr><td bgColor=#002567>&nbsp</td></tr>";

}  // namespace

void WriteCommonHead(OutputFile& w, std::string_view title, bool withRankingRule) {
  w.Line("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
  w.Line("<html lang=\"ja\">");
  w.Line("");
  w.Line("<head>");
  w.Line("\t<meta http-equiv=\"content-type\" content=\"text/html; charset=Shift_JIS\">");
  w.Format("\t<title>%s</title>", {title});
  w.Line("\t<meta http-equiv=\"Content-Style-Type\" content=\"text/css\">");
  w.Line("\t<style type=\"text/css\">");
  w.Line("\t\t<!--");
  w.Line("\t\tBODY {");
  w.Line("\t\t\tCOLOR: #ffffff; BACKGROUND-COLOR: #002567");
  w.Line("\t\t}");
  w.Line("\t\tA {");
  w.Line("\t\t\tCOLOR: #ff6e00");
  w.Line("\t\t}");
  w.Line("\t\tUNKNOWN {");
  w.Line("\t\t\tFONT-SIZE: 18px; COLOR: #00ffff; BACKGROUND-COLOR: #000000");
  w.Line("\t\t}");
  w.Line("\t\tTH {");
  w.Line("\t\t\tFONT-SIZE: 16px; COLOR: #ff9900; BACKGROUND-COLOR: #000000");
  w.Line("\t\t}");
  w.Line("\t\tTD {");
  w.Line("\t\t\tFONT-SIZE: 12px; TEXT-ALIGN: center");
  w.Line("\t\t}");
  w.Line("\t\tTD.m {");
  w.Line("\t\t\tCOLOR: #ff0000");
  w.Line("\t\t}");
  w.Line("\t\tTR.a {");
  w.Line("\t\t\tCOLOR: #000000; BACKGROUND-COLOR: #ffffff");
  w.Line("\t\t}");
  w.Line("\t\tTR.b {");
  w.Line("\t\t\tCOLOR: #000000; BACKGROUND-COLOR: #b2c1dd");
  w.Line("\t\t}");
  if (withRankingRule) {
    w.Line("\t\tTR.c {");
    w.Line("\t\t\tCOLOR: #000000; BACKGROUND-COLOR: #ff6e00");
    w.Line("\t\t}");
  }
  w.Line("\t\tSPAN.u {");
  w.Line("\t\t\tFONT-SIZE: 80%; COLOR: #ff0000");
  w.Line("\t\t}");
  w.Line("\t\tSPAN.d {");
  w.Line("\t\t\tFONT-SIZE: 80%; COLOR: #0000ff");
  w.Line("\t\t}");
  w.Line("\t\tSPAN.e {");
  w.Line("\t\t\tFONT-SIZE: 80%; COLOR: #606060");
  w.Line("\t\t}");
  w.Line("\t\t--> ");
  w.Line("\t</style>");
  w.Line("</head>");
  w.Line("");
  w.Line(
      "<body bgcolor=\"#002567\" text=\"#FFFFFF\" link=\"#ff6e00\" vlink=\"#ff6e00\" "
      "alink=\"#ff6e00\">");
  w.Line("");
  w.Line("<BODY text=white vLink=#ff6e00 aLink=#ff6e00 link=#ff6e00 bgColor=#002567>");
  w.Line("");
  w.Line("<TABLE cellSpacing=0 cellPadding=0 width=420 align=center><TBODY>");
  w.Format(
      "\t<TR><TD width=420 bgColor=black height=45><P align=center><FONT color=white "
      "size=6><B>%s</B></FONT></P></TD></TR>",
      {title});
  w.Line("\t<TR><TD width=420><P>&nbsp;</P></TD></TR>");
  w.Line("\t<TR><TD width=420><P>&nbsp;</P></TD></TR>");
  w.Line("\t<TR><TD width=420><P>&nbsp;</P></TD></TR>");
  w.Line("</TBODY></TABLE>");
  w.Line("");
}

void WriteSectionTitle(OutputFile& w, std::string_view title) {
  w.Format(
      "<tr><TD width=382 bgColor=black height=25><P align=center><FONT color=white "
      "size=3><B>%s</B></FONT></P></TD></TR>",
      {title});
}

void WriteSpacerRows(OutputFile& w) {
  w.Line(kSpacerRow);
  w.Line(kSpacerRow);
}

void WriteSectionEnd(OutputFile& w) {
  WriteSpacerRows(w);
  w.Line("");
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace ledgerwise
