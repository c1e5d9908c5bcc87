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

# Child panels sit at the bottom-left corner of the main window and their top rows
# lie under its header, so each panel background starts as the crop of the main
# background at the panel's place and is drawn on from there. Login panel (148):
# 301 x 232 dialog units in 9-point 굴림체 = 452 x 348 pixels. Account panel (149):
# 256 x 232 dialog units in 9-point 굴림 (NanumGothic under Wine; its dialog base
# units are measured, see account_unit_*). Control places below are the templates'
# dialog units converted with the base units.
login_width=452 login_height=348
account_unit_x=6 account_unit_y=12
account_width=$(((256 * account_unit_x + 2) / 4)) account_height=$(((232 * account_unit_y + 4) / 8))
body=#1f1f1f card=#f9f9f9 card_line=#d8d8d8 field_label=#cfcfcf

panel_crop() {  # width, height -> ImageMagick arguments of the main background's crop
  echo "$out/main_background.bmp" -crop "$1x$2+0+$((height - $2))" +repage
}
body_top_row() {  # panel height -> first panel row below the main header (row 73)
  echo $((73 - (height - $1)))
}

# Login panel (148). Fields: identifier 1005 and password 1006 at 120,84 and
# 120,114; remember box 1008 at 120,146 with its label drawn here; banner area
# 1010 at 15,213, 422 x 126 (what shows when the banner page cannot load).
# shellcheck disable=SC2046
save_bmp $(panel_crop $login_width $login_height) \
  -fill "$body" -draw "rectangle 0,$(body_top_row $login_height) $((login_width - 1)),$((login_height - 1))" \
  -gravity NorthWest -font "$bold" -pointsize 15 -fill "$text" -annotate +24+38 "회원 로그인" \
  -fill "$accent" -draw "rectangle 24,62 110,63" \
  -font "$regular" -pointsize 12 -fill "$field_label" \
  -annotate +40+87 "아이디" -annotate +40+117 "비밀번호" -annotate +140+146 "아이디 저장" \
  -fill "#181818" -stroke "#333333" -draw "roundrectangle 15,213 436,338 6,6" -stroke none \
  -font "$bold" -pointsize 20 -fill "$accent" -annotate +40+245 "TUNRA" \
  -font "$regular" -pointsize 12 -fill "$muted" -annotate +40+280 "게임 전용 VPN · 빠르고 안전한 접속" \
  "$out/login_background.bmp"

# Account panel (149): a light card behind the five labels (which fill their own
# rectangles with #f9f9f9), their captions drawn on the card.
ax() { echo $(($1 * account_unit_x / 4)); }
ay() { echo $(($1 * account_unit_y / 8)); }
# shellcheck disable=SC2046
save_bmp $(panel_crop "$account_width" "$account_height") \
  -fill "$body" -draw "rectangle 0,$(body_top_row "$account_height") $((account_width - 1)),$((account_height - 1))" \
  -gravity NorthWest -font "$bold" -pointsize 15 -fill "$text" -annotate +24+38 "내 계정" \
  -fill "$accent" -draw "rectangle 24,62 90,63" \
  -fill "$card" -stroke "$card_line" \
  -draw "roundrectangle $(ax 10),$(ay 46) $(ax 246),$(ay 126) 6,6" -stroke none \
  -font "$regular" -pointsize 12 -fill "#555555" \
  -annotate +$(ax 18)+$(ay 52) "아이디" -annotate +$(ax 18)+$(ay 66) "게임" \
  -annotate +$(ax 18)+$(ay 80) "만료일" -annotate +$(ax 18)+$(ay 94) "접속시간" \
  -fill "#181818" -stroke "#333333" -draw "roundrectangle $(ax 10),$(ay 166) $(ax 246),$(ay 226) 6,6" -stroke none \
  -font "$bold" -pointsize 18 -fill "$accent" -annotate +$(($(ax 10) + 20))+$(($(ay 166) + 18)) "TUNRA" \
  "$out/account_background.bmp"

# Progress windows (200), the connection's and the update download's: 171 x 83 dialog
# units in 9-point 굴림체 = 257 x 125 pixels; a light surface for the connection's
# status line (#f9f9f9) and the bar, and a footer line that fits both.
save_bmp -size 257x125 xc:"$card" -fill none -stroke "$accent" -strokewidth 2 \
  -draw "rectangle 1,1 255,123" -stroke none \
  -gravity NorthWest -font "$bold" -pointsize 12 -fill "$accent" -annotate +14+92 "TUNRA" \
  -font "$regular" -pointsize 11 -fill "#8c8c8c" -annotate +64+93 "잠시만 기다려 주세요" \
  "$out/progress_background.bmp"

# Panel buttons on the dark body: a filled rounded face with a centred label.
panel_button() {  # width, height, face, border, text colour, label, output
  save_bmp -size "$1x$2" xc:"$body" -fill "$3" -stroke "$4" \
    -draw "roundrectangle 0,0 $(($1 - 1)),$(($2 - 1)) 5,5" -stroke none \
    -font "$bold" -pointsize 12 -fill "$5" -gravity center -annotate +0+0 "$6" "$7"
}
pressed_face=#178a7e
# Login (153/154): as tall as the two fields.
panel_button 90 51 "$accent" "$accent" "#ffffff" "로그인" "$out/login.bmp"
panel_button 90 51 "$pressed_face" "$pressed_face" "#e0e0e0" "로그인" "$out/login_pressed.bmp"
# Sign-up (155/156) and password recovery (151, one picture for both states).
panel_button 90 24 "#333333" "#4a4a4a" "$text" "회원가입" "$out/signup.bmp"
panel_button 90 24 "$accent" "$accent" "#ffffff" "회원가입" "$out/signup_pressed.bmp"
panel_button 105 24 "#333333" "#4a4a4a" "$text" "비밀번호찾기" "$out/password_find.bmp"
# Account panel: logout (175/176), extend/buy (183/184), IP settings (173/174), IP
# history (171/172), connect/disconnect before (177/178) and once a tunnel is up
# (179/180); 90 x 24 each.
panel_button 90 24 "#333333" "#4a4a4a" "$text" "로그아웃" "$out/logout.bmp"
panel_button 90 24 "$accent" "$accent" "#ffffff" "로그아웃" "$out/logout_pressed.bmp"
panel_button 90 24 "#e67e22" "#e67e22" "#ffffff" "연장/구매" "$out/extend.bmp"
panel_button 90 24 "#b8631a" "#b8631a" "#f0f0f0" "연장/구매" "$out/extend_pressed.bmp"
panel_button 90 24 "#333333" "#4a4a4a" "$text" "IP설정하기" "$out/ip_settings.bmp"
panel_button 90 24 "$accent" "$accent" "#ffffff" "IP설정하기" "$out/ip_settings_pressed.bmp"
panel_button 90 24 "#333333" "#4a4a4a" "$text" "IP 사용내역" "$out/ip_history.bmp"
panel_button 90 24 "$accent" "$accent" "#ffffff" "IP 사용내역" "$out/ip_history_pressed.bmp"
panel_button 90 24 "#333333" "#4a4a4a" "$text" "접속/해제하기" "$out/connect.bmp"
panel_button 90 24 "$accent" "$accent" "#ffffff" "접속/해제하기" "$out/connect_pressed.bmp"
panel_button 90 24 "#c0392b" "#c0392b" "#ffffff" "접속해제" "$out/disconnect.bmp"
panel_button 90 24 "#922b21" "#922b21" "#f0f0f0" "접속해제" "$out/disconnect_pressed.bmp"
# The account panel's ">>" (185/186, narrow layout: widen) and "<<" (187/188, wide
# layout), 25 x 22 like the caption buttons.
panel_button 25 22 "#333333" "#4a4a4a" "$text" ">>" "$out/expand.bmp"
panel_button 25 22 "$accent" "$accent" "#ffffff" ">>" "$out/expand_pressed.bmp"
panel_button 25 22 "#333333" "#4a4a4a" "$text" "<<" "$out/collapse.bmp"
panel_button 25 22 "$accent" "$accent" "#ffffff" "<<" "$out/collapse_pressed.bmp"

# IP list panels (150 and their buttons): 285 x 220 dialog units in 9-point 굴림체 =
# 428 x 330 pixels, placed by the main window at x 460, 2 pixels above their own
# height from the bottom (y 63), so their top rows lie under its header. Both panels
# share the background; the lists paint themselves.
ip_width=428 ip_height=330 ip_left=460
ip_top=$((height - ip_height - 2))
ip_body_top=$((73 - ip_top))
save_bmp "$out/main_background.bmp" -crop "${ip_width}x${ip_height}+${ip_left}+${ip_top}" +repage \
  -fill "$body" -draw "rectangle 0,$ip_body_top $((ip_width - 1)),$((ip_height - 1))" \
  "$out/ip_panel_background.bmp"
# Title images over the lists (233 classes, 236 available IPs, 237 favourites):
# 42 x 11 dialog units, 63 x 17 pixels, an accent underline below the text.
title_image() {  # label, output
  save_bmp -size 63x17 xc:"$body" -fill "$accent" -draw "rectangle 0,15 62,16" \
    -font "$bold" -pointsize 11 -fill "$text" -gravity center -annotate +0-1 "$1" "$2"
}
title_image "서비스 대역" "$out/ip_classes_title.bmp"
title_image "가능 IP" "$out/ip_available_title.bmp"
title_image "자주 쓰는 IP" "$out/ip_favourites_title.bmp"
# ">>" (223) and "<<" (224) between the lists: 19 x 27 and 19 x 26 dialog units.
panel_button 28 40 "#333333" "#4a4a4a" "$text" ">>" "$out/ip_add.bmp"
panel_button 28 39 "#333333" "#4a4a4a" "$text" "<<" "$out/ip_remove.bmp"
# Choosing buttons below the lists, 50 x 14 dialog units = 75 x 21 pixels: 234/235
# under the favourites (random, or the next in turn) and the whole pool's available
# IPs, 238/239 under the class panel's available IPs.
panel_button 75 21 "$accent" "$accent" "#ffffff" "빠른 접속" "$out/ip_random.bmp"
panel_button 75 21 "$pressed_face" "$pressed_face" "#e0e0e0" "빠른 접속" "$out/ip_random_pressed.bmp"
panel_button 75 21 "$accent" "$accent" "#ffffff" "랜덤 접속" "$out/ip_class_random.bmp"
panel_button 75 21 "$pressed_face" "$pressed_face" "#e0e0e0" "랜덤 접속" "$out/ip_class_random_pressed.bmp"

# Options dialog (206): 267 x 400 dialog units in 9-point 굴림체 = 401 x 600 pixels.
# A header with the title (the close button 1004 sits at its right end, 367,10), the
# dark body under the group boxes, and a footer line above the save and cancel buttons
# (219/220, 217/218: 55 x 17 dialog units = 82 x 25 pixels at 90,558 and 222,558).
opt_width=401 opt_height=600
save_bmp -size ${opt_width}x${opt_height} xc:"$body" \
  -fill "$header" -draw "rectangle 0,0 $((opt_width - 1)),44" \
  -fill "$accent" -draw "rectangle 0,45 $((opt_width - 1)),46" \
  -gravity NorthWest -font "$bold" -pointsize 15 -fill "$text" -annotate +16+13 "환경설정" \
  -font "$regular" -pointsize 11 -fill "$muted" -annotate +96+17 "TUNRA 매니저 옵션" \
  -fill "$line" -draw "rectangle 12,540 $((opt_width - 13)),540" \
  -fill none -stroke "$line" -draw "rectangle 0,0 $((opt_width - 1)),$((opt_height - 1))" -stroke none \
  "$out/options_background.bmp"
panel_button 82 25 "$accent" "$accent" "#ffffff" "저장" "$out/options_save.bmp"
panel_button 82 25 "$pressed_face" "$pressed_face" "#e0e0e0" "저장" "$out/options_save_pressed.bmp"
panel_button 82 25 "#333333" "#4a4a4a" "$text" "취소" "$out/options_cancel.bmp"
panel_button 82 25 "$accent" "$accent" "#ffffff" "취소" "$out/options_cancel_pressed.bmp"

# Update dialog (199): 260 x 190 dialog units in 9-point 굴림체 = 390 x 285 pixels. A
# header with the title (the close button 1004 at its right end, 357,8), the update
# page's area (1010 at 15,48, 360 x 132: what shows while no page is shown there, with
# the hint that a click opens the page), the version message's card (15,189, 360 x 45,
# around the label 1040 at 21,194, which fills itself in the card's colour) and the
# buttons "업데이트" (197/198) and "취소" (189, one picture for both states): 55 x 17
# dialog units = 82 x 25 pixels at 105,246 and 202,246.
upd_width=390 upd_height=285
save_bmp -size ${upd_width}x${upd_height} xc:"$body" \
  -fill "$header" -draw "rectangle 0,0 $((upd_width - 1)),40" \
  -fill "$accent" -draw "rectangle 0,41 $((upd_width - 1)),42" \
  -gravity NorthWest -font "$bold" -pointsize 15 -fill "$text" -annotate +16+11 "프로그램 업데이트" \
  -fill "#181818" -stroke "#333333" -draw "roundrectangle 15,48 374,179 6,6" -stroke none \
  -font "$bold" -pointsize 20 -fill "$accent" -annotate +40+80 "TUNRA" \
  -font "$regular" -pointsize 12 -fill "$muted" -annotate +40+118 "새 버전의 안내를 보려면 여기를 누르세요" \
  -fill "$card" -stroke "$card_line" -draw "roundrectangle 15,189 374,233 4,4" -stroke none \
  -fill none -stroke "$line" -draw "rectangle 0,0 $((upd_width - 1)),$((upd_height - 1))" -stroke none \
  "$out/update_background.bmp"
panel_button 82 25 "$accent" "$accent" "#ffffff" "업데이트" "$out/update_start.bmp"
panel_button 82 25 "$pressed_face" "$pressed_face" "#e0e0e0" "업데이트" "$out/update_start_pressed.bmp"
panel_button 82 25 "#333333" "#4a4a4a" "$text" "취소" "$out/update_cancel.bmp"

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
