#!/usr/bin/env bash
# Draws the client's skin: the main window background, the bitmap buttons and the
# icons, all from ImageMagick primitives and the Nanum fonts. The output is committed
# (resources/skin/), so building the program never needs ImageMagick; run this script
# again only to change the look.
#
# Sizes: the main dialog is 598 x 263 dialog units with a 9-point 굴림체 font, whose
# base units are 6 x 12 pixels, so it is 598*6/4 = 897 by 263*12/8 = 394.5 -> 395
# pixels (MapDialogRect rounds). The narrow layout shows the left half (448 pixels).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/skin
fonts=/usr/share/fonts/truetype/nanum
regular=$fonts/NanumGothic.ttf
bold=$fonts/NanumGothicBold.ttf
mkdir -p "$out"

width=897 height=395 narrow=448
header=#292929 body_top=#222222 body_bottom=#1a1a1a accent=#1fa99a
text=#eaeaea muted=#8c8c8c line=#3a3a3a

# Windows reads uncompressed 24-bit BMPs with a BITMAPINFOHEADER best.
save_bmp() {  # convert arguments..., output file
  local target=${*: -1}
  convert "${@:1:$#-1}" -alpha off -type TrueColor "BMP3:$target"
}

# Main window background (147).
save_bmp -size ${width}x${height} gradient:"$body_top"-"$body_bottom" \
  -fill "$header" -draw "rectangle 0,0 $((width - 1)),70" \
  -fill "$accent" -draw "rectangle 0,71 $((width - 1)),72" \
  -fill "$line" -draw "rectangle $narrow,73 $narrow,$((height - 1))" \
  -font "$bold" -pointsize 24 -fill "$text" -annotate +18+33 "TUNRA" \
  -font "$regular" -pointsize 12 -fill "$muted" -annotate +122+32 "게임 전용 VPN 매니저" \
  -font "$regular" -pointsize 13 -fill "#6f6f6f" -gravity NorthWest \
  -annotate +118+215 "안전하고 빠른 게임 연결" \
  -fill "#1c1c1c" -stroke "#333333" -draw "roundrectangle 460,84 888,386 6,6" \
  -stroke none -font "$bold" -pointsize 13 -fill "$text" -annotate +476+96 "접속 IP 목록" \
  -fill "$accent" -draw "rectangle 476,118 560,119" \
  "$out/main_background.bmp"

# Square caption buttons, 25 x 22: minimize (161/162), close (157/158), help (221).
caption_button() {  # background, glyph colour, glyph draw, output
  save_bmp -size 25x22 xc:"$1" -stroke "$2" -strokewidth 2 -fill none -draw "$3" "$4"
}
caption_button "$header" "#cfcfcf" "line 8,15 17,15" "$out/minimize.bmp"
caption_button "#3d3d3d" "#ffffff" "line 8,15 17,15" "$out/minimize_pressed.bmp"
caption_button "$header" "#cfcfcf" "line 8,6 17,15 line 17,6 8,15" "$out/close.bmp"
caption_button "#c0392b" "#ffffff" "line 8,6 17,15 line 17,6 8,15" "$out/close_pressed.bmp"
save_bmp -size 25x22 xc:"$header" -fill none -stroke "#6a6a6a" -draw "circle 12,11 12,3" \
  -stroke none -font "$bold" -pointsize 12 -fill "#cfcfcf" -gravity center -annotate +0+0 "?" \
  "$out/help.bmp"

# Text buttons, 22 pixels high: options (181/182) and update (159/160).
text_button() {  # width, background, border, text colour, label, output
  save_bmp -size "$1x22" xc:"$header" -fill "$2" -stroke "$3" \
    -draw "roundrectangle 0,0 $(($1 - 1)),21 4,4" -stroke none \
    -font "$regular" -pointsize 12 -fill "$4" -gravity center -annotate +0+0 "$5" "$6"
}
text_button 66 "#333333" "#4a4a4a" "$text" "옵션설정" "$out/options.bmp"
text_button 66 "$accent" "$accent" "#ffffff" "옵션설정" "$out/options_pressed.bmp"
text_button 66 "#333333" "#4a4a4a" "$text" "Update" "$out/update.bmp"
text_button 66 "$accent" "$accent" "#ffffff" "Update" "$out/update_pressed.bmp"

# Icons: 128 (window), 213 (tray, no tunnel), 214 (tray, tunnel up).
icon() {  # background colour, output
  convert -size 256x256 xc:none -fill "$1" -draw "roundrectangle 8,8 247,247 48,48" \
    -font "$bold" -pointsize 190 -fill "#ffffff" -gravity center -annotate +0+8 "T" \
    -define icon:auto-resize=48,32,16 "$2"
}
icon "$accent" "$out/tunra.ico"
icon "#5a5a5a" "$out/tray_idle.ico"
icon "$accent" "$out/tray_connected.ico"
echo "skin written to $out"
