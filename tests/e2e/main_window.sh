#!/usr/bin/env bash
# The main window as the user meets it, looked at from outside: title, size
# and place, every control's class, place, size, style and text, the table's
# set-up, the colours on the screen, the links, the context menu's place,
# resizing, the banner's lower case, and Esc ending the program with 0.
# Args: build/win dir, work dir.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib/drive.sh
. "$root/scripts/lib/drive.sh"
tv_init "$1" "$2/main_window"
trap tv_cleanup EXIT
fails=0
check() {  # what, got, want
  if [ "$2" != "$3" ]; then
    tv_log "FAIL: $1: got '$2', want '$3'"
    fails=$((fails + 1))
  fi
}
at_least() {  # what, got, minimum
  if [ "$2" -lt "$3" ]; then
    tv_log "FAIL: $1: got $2, want at least $3"
    fails=$((fails + 1))
  fi
}

tv_unmanaged_windows
tv_start || exit 1

# --- Window and controls. The system adds WS_CLIPSIBLINGS and
# WS_EX_WINDOWEDGE to a top-level window, WS_EX_WINDOWEDGE to a box with a
# modal frame. The table's own header and helper windows are not ours.
read -r sw sh < <(xdotool getdisplaygeometry)
want_window="window	TollivarMainWindow	$(((sw - 713) / 2)),$(((sh - 731) / 2)),713,731	16CE0000	00000100	Tollivar v1.161.22"
want_controls="$(
  cat <<'EOF'
0	101	TollivarLink	440,642,72,24	50000000	00000000	在线客服
0	102	TollivarLink	536,646,152,16	50000000	00000000	示例软件园 example.net
0	213	TollivarLabel	512,543,168,32	50000000	00020000	直播人气 1000个
0	204	TollivarLabel	280,451,168,32	50000000	00020000	说说评论 100条
0	103	Button	259,280,432,352	58000107	00000000	Merovell低价网络业务
1	201	TollivarLabel	17,32,168,32	50000000	00020000	名片点赞 1000个
1	202	TollivarLabel	16,78,168,32	50000000	00020000	空间人气 5000个
1	203	TollivarLabel	15,125,168,32	50000000	00020000	说说点赞 300个
1	205	TollivarLabel	16,216,168,32	50000000	00020000	歌曲试听 1万次
1	206	TollivarLabel	15,263,168,32	50000000	00020000	歌单收藏 500次
1	207	TollivarLabel	15,307,168,32	50000000	00020000	音乐粉丝 200个
1	208	TollivarLabel	250,32,168,32	50000000	00020000	主页访客 2000个
1	209	TollivarLabel	250,80,168,32	50000000	00020000	动态转发 100次
1	210	TollivarLabel	250,126,168,32	50000000	00020000	日志浏览 1万次
1	211	TollivarLabel	249,172,168,32	50000000	00020000	群成员 300人
1	212	TollivarLabel	248,217,168,32	50000000	00020000	视频播放 5万次
1	214	TollivarLabel	249,307,168,32	50000000	00020000	作品点赞 500个
1	215	TollivarLabel	194,32,48,304	50000000	00020000	
0	104	Edit	16,7,672,40	50010090	00000200	欢迎使用merovelltollivar！   办理业务请加qq：0800161022
0	105	Edit	264,160,424,104	50011044	00000301	使用说明：\r\n\r\n  1.登陆QQ，打开QQ界面，最小化都可以，建议登陆一个QQ。\r\n\r\n  2.点击菜单，点击导入QQ号，点击开始按钮，软件开始运行。\r\n\r\n  3.软件开始运行之后，请不要乱动鼠标，以免出错，谢谢使用！
0	106	Button	552,81,96,48	50012F00	00000000	恢复
0	107	Button	416,80,96,48	50002F00	00000000	暂停
0	108	SysListView32	8,56,240,576	52010005	00000200	
0	109	Button	275,80,101,48	50012F00	00000000	开始
EOF
)"
our_controls() { awk -F'\t' '$1 == 0 { parent = $3 } $1 == 0 || (parent == "Button" && $1 == 1)'; }
tree="$(tv_inspect tree "$TV_TITLE")"
check "window" "$(head -1 <<<"$tree")" "$want_window"
check "controls" "$(tail -n +3 <<<"$tree" | our_controls)" "$want_controls"
check "table set-up" "$(tv_table setup)" "$(printf 'exstyle 00000423\ncolours 000000 FFFFFF FFFFFF\n序号\t50\t0\nQQ号\t100\t0\n状态\t80\t0')"
check "empty table" "$(tv_table)" ""

# --- Colours as painted.
shot="$TV_WORK/screen.png"
tv_screenshot "$TV_ARTEFACTS/main_window.png"
tv_screen "$shot"
face="$(tv_colour_at "$shot" 4 660)"  # the window's background: button face
check "banner background" "$(tv_colour_at "$shot" 682 42)" "236,236,236"
at_least "red banner text" "$(tv_count_colour "$shot" 18 9 668 36 255,0,0)" 200
at_least "black usage background" "$(tv_count_colour "$shot" 269 165 414 94 0,0,0)" 20000
at_least "green usage text" "$(tv_count_colour "$shot" 269 165 414 94 0,255,0)" 100
at_least "red group title" "$(tv_count_colour "$shot" 262 280 260 22 255,0,0)" 200
check "group box inside" "$(tv_colour_at "$shot" 448 480)" "$face"
while read -r what x y w h colour least; do
  at_least "$what text" "$(tv_count_colour "$shot" $((x + 2)) $((y + 2)) $((w - 4)) $((h - 4)) "$colour")" "$least"
  check "$what background" "$(tv_colour_at "$shot" $((x + w - 4)) $((y + 3)))" "$face"
done <<'EOF'
标签1 276 312 168 32 128,128,255 60
标签4 280 451 168 32 128,128,255 60
标签5 275 496 168 32 255,128,0 60
标签8 509 312 168 32 255,128,0 60
标签9 509 360 168 32 255,0,0 60
标签13 512 543 168 32 255,0,0 60
超级链接框2 440 642 72 24 255,0,0 10
超级链接框1 536 646 152 16 0,0,255 10
EOF

# --- A link under the mouse shows its hover colour, and the normal one again
# when the mouse leaves.
tv_point_at 612 654
sleep 0.3
tv_screen "$shot"
at_least "hovered link" "$(tv_count_colour "$shot" 536 646 152 16 51,153,255)" 10
check "hovered link, no normal colour" "$(tv_count_colour "$shot" 536 646 152 16 0,0,255)" 0
tv_point_at 612 676
sleep 0.3
tv_screen "$shot"
at_least "link left" "$(tv_count_colour "$shot" 536 646 152 16 0,0,255)" 10

# --- A click opens the address through the shell, and the link turns
# visited. The web handler of the prefix is swapped for one that notes the
# address, and put back afterwards.
opened="$WINEPREFIX/drive_c/tollivar-link.txt"
rm -f "$opened"
wine reg export 'HKCR\http' "$TV_WORK/http.reg" /y >/dev/null 2>&1
wine reg add 'HKCR\http\shell\open\command' /ve /d 'C:\windows\system32\cmd.exe /c echo %1>C:\tollivar-link.txt' /f \
  >/dev/null 2>&1
tv_click 612 654
for _ in $(seq 1 100); do
  [ -s "$opened" ] && break
  sleep 0.1
done
wine reg delete 'HKCR\http' /f >/dev/null 2>&1
wine reg import "$TV_WORK/http.reg" >/dev/null 2>&1
check "address handed to the shell" "$(tr -d '\r ' <"$opened" 2>/dev/null)" "http://www.example.net/"
tv_point_at 612 676
sleep 0.3
tv_screen "$shot"
at_least "visited link" "$(tv_count_colour "$shot" 536 646 152 16 128,0,0)" 10

# --- The context menu opens 3 pixels right of and below the cursor; Esc
# closes it and changes nothing.
tv_point_at 100 300
xdotool click 3
menu="$(tv_inspect wait '#32768' '*' 10000)"
IFS=, read -r mx my _ _ <<<"$(cut -f2 <<<"$menu")"
check "context menu place" "$mx,$my" "$((TV_CX + 103)),$((TV_CY + 303))"
xdotool key Escape
tv_wait_closed '#32768' "the menu" || fails=$((fails + 1))
check "table after the menu" "$(tv_table)" ""
check "still open after Esc in the menu" "$(tv_inspect tree "$TV_TITLE" | head -1 | cut -f2)" "TollivarMainWindow"

# --- Resizing by the frame moves nothing inside.
tv_inspect resize "$TV_TITLE" 900 600 >/dev/null
tree="$(tv_inspect tree "$TV_TITLE")"
check "resized" "$(head -1 <<<"$tree" | cut -f3 | cut -d, -f3,4)" "900,600"
check "controls after resizing" "$(tail -n +3 <<<"$tree" | our_controls)" "$want_controls"

# --- Typed into the banner, text shows in lower case; then Esc in that box
# ends the program with exit code 0 at once.
tv_click 660 27
xdotool key End
xdotool type "XyZ"
banner="$(tv_inspect tree "$TV_TITLE" | awk -F'\t' '$2 == 104 { print $7 }')"
check "typed into the banner" "${banner: -3}" "xyz"
started="$(tv_now_ms)"
xdotool key Escape
rc="$(tv_wait_exit 5000)" || rc="still running"
took=$(($(tv_now_ms) - started))
check "exit code after Esc" "$rc" "0"
[ "$took" -le 1000 ] || {
  tv_log "FAIL: the program took ${took} ms to end after Esc"
  fails=$((fails + 1))
}

[ "$fails" -eq 0 ] && tv_log "main window: all checks passed"
exit $((fails > 0))
