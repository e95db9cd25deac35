#include "sjis_pages/page_blocks.h"

namespace ledgerwise {

namespace {

// "&nbsp" without its semicolon, as the pages have always written it.
constexpr std::string_view kSpacerRow = "<tr><td bgColor=#002567>&nbsp</td></tr>";

// The head up to the title, between the titles, and after the second; the
// ranking page adds its TR.c rule after TR.b.
constexpr std::string_view kHeadStart =
    R"(<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html lang="ja">

<head>
	<meta http-equiv="content-type" content="text/html; charset=Shift_JIS">
	<title>)";
constexpr std::string_view kStyleStart = R"(</title>
	<meta http-equiv="Content-Style-Type" content="text/css">
	<style type="text/css">
		<!--
		BODY {
			COLOR: #ffffff; BACKGROUND-COLOR: #002567
		}
		A {
			COLOR: #ff6e00
		}
		UNKNOWN {
			FONT-SIZE: 18px; COLOR: #00ffff; BACKGROUND-COLOR: #000000
		}
		TH {
			FONT-SIZE: 16px; COLOR: #ff9900; BACKGROUND-COLOR: #000000
		}
		TD {
			FONT-SIZE: 12px; TEXT-ALIGN: center
		}
		TD.m {
			COLOR: #ff0000
		}
		TR.a {
			COLOR: #000000; BACKGROUND-COLOR: #ffffff
		}
		TR.b {
			COLOR: #000000; BACKGROUND-COLOR: #b2c1dd
		}
)";
constexpr std::string_view kRankingRule = R"(		TR.c {
			COLOR: #000000; BACKGROUND-COLOR: #ff6e00
		}
)";
constexpr std::string_view kStyleEnd = R"(		SPAN.u {
			FONT-SIZE: 80%; COLOR: #ff0000
		}
		SPAN.d {
			FONT-SIZE: 80%; COLOR: #0000ff
		}
		SPAN.e {
			FONT-SIZE: 80%; COLOR: #606060
		}
)";
// Kept out of the raw text above: its trailing blank must survive editors.
constexpr std::string_view kCommentEnd = "\t\t--> \n";
constexpr std::string_view kBodyStart = R"(	</style>
</head>

<body bgcolor="#002567" text="#FFFFFF" link="#ff6e00" vlink="#ff6e00" alink="#ff6e00">

<BODY text=white vLink=#ff6e00 aLink=#ff6e00 link=#ff6e00 bgColor=#002567>

<TABLE cellSpacing=0 cellPadding=0 width=420 align=center><TBODY>
	<TR><TD width=420 bgColor=black height=45><P align=center><FONT color=white size=6><B>)";
constexpr std::string_view kHeadEnd = R"(</B></FONT></P></TD></TR>
	<TR><TD width=420><P>&nbsp;</P></TD></TR>
	<TR><TD width=420><P>&nbsp;</P></TD></TR>
	<TR><TD width=420><P>&nbsp;</P></TD></TR>
</TBODY></TABLE>

)";

}  // namespace

void WriteCommonHead(OutputFile& w, std::string_view title, bool withRankingRule) {
  w.Text(kHeadStart);
  w.Text(title);
  w.Text(kStyleStart);
  if (withRankingRule) w.Text(kRankingRule);
  w.Text(kStyleEnd);
  w.Text(kCommentEnd);
  w.Text(kBodyStart);
  w.Text(title);
  w.Text(kHeadEnd);
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
