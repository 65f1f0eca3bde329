# Shared by the scripts that look at Quorvane on a virtual display (sourced, not run).
#
# Writing a day:  qv_period; qv_items_begin; qv_task ...; qv_meeting ...; qv_items_end  (to stdout)
# On the display: qv_win, qv_geo, qv_click, qv_drag_to, qv_crop  (need xdotool, x11-utils)

# The period in play now, by the default start times (11:00, 14:00, 18:00).
qv_period() {
  local hour
  hour=$(date +%-H)
  if ((hour < 11)); then echo 1; elif ((hour < 14)); then echo 2; elif ((hour < 18)); then echo 3; else echo 4; fi
}

qv_items_begin() {
  printf '<root>\r\n'
  printf '<item><id>0</id><now/><date/><title/><period/><estimate/><status/><done/><donedate/><doneperiod/><donetime/><note/><points/><penaltypoints/><type>Task</type><obj1/><timeleft/><obj3/><meetingtime/><chairm/><timingbonus/><project/></item>\r\n'
  printf '<item><id>0</id><now/><date/><title/><period/><estimate/><status/><done/><donedate/><doneperiod/><donetime/><note/><points/><penaltypoints/><type>Meeting</type><obj1/><obj2/><obj3/><meetingtime/><chairm/><timingbonus/><project/></item>\r\n'
}

qv_items_end() { printf '</root>\r\n'; }

# qv_task ID TITLE PERIOD [ESTIMATE [STATUS [DATE yyyymmdd [PROJECT [REPEAT]]]]]; the status "done" finishes it.
qv_task() {
  local done=false
  [ "${5:-}" = done ] && done=true
  printf '<item><id>%s</id><now>%s 08:00:00</now><date>%s</date><title>%s</title><period>%s</period><estimate>%s</estimate><status>%s</status><done>%s</done><donedate>NotDone</donedate><doneperiod/><donetime/><note/><points>0</points><penaltypoints/><type>Task</type><obj1/><timeleft/><obj3>%s</obj3><meetingtime/><chairm/><timingbonus>0</timingbonus><project>%s</project></item>\r\n' \
    "$1" "$(date +%Y-%m-%d)" "${6:-$(date +%Y%m%d)}" "$2" "$3" "${4:-30}" "${5:-}" "$done" "${8:-}" "${7:-0}"
}

# qv_meeting ID TITLE HH:MM [OBJECTIVE [DATE yyyymmdd [PROJECT]]]
qv_meeting() {
  printf '<item><id>%s</id><now>%s 08:00:00</now><date>%s</date><title>%s</title><period/><estimate>60</estimate><status/><done>false</done><donedate>NotDone</donedate><doneperiod/><donetime/><note/><points>0</points><penaltypoints/><type>Meeting</type><obj1>%s</obj1><obj2/><obj3/><meetingtime>%s</meetingtime><chairm/><timingbonus>0</timingbonus><project>%s</project></item>\r\n' \
    "$1" "$(date +%Y-%m-%d)" "${5:-$(date +%Y%m%d)}" "$2" "${4:-}" "$3" "${6:-0}"
}

# The first visible window of the program ($XSHOT_PID) whose title matches the pattern; waits for it.
qv_win() {
  local w="" i
  for i in $(seq 1 40); do
    w=$(xdotool search --all --onlyvisible --pid "$XSHOT_PID" --name "$1" 2>/dev/null | head -n1)
    [ -n "$w" ] && break
    sleep 0.25
  done
  [ -n "$w" ] || { echo "no window named $1" >&2; return 1; }
  echo "$w"
}

# Left, top, width and height of a window's inside, in screen pixels.
qv_geo() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print x, y, w, h}'
}

# Clicks a window at a place given in twips from its inside's top-left corner (15 twips a pixel).
qv_click() {
  local x y w h
  read -r x y w h < <(qv_geo "$1")
  xdotool mousemove $((x + $2 / 15)) $((y + $3 / 15)) click 1
  sleep 0.5
}

# Moves a window so that its inside's top-left corner lands on the given screen pixel.
qv_drag_to() {
  xdotool windowmove "$1" "$2" "$3"
  sleep 0.4
}

# Writes the rectangle round the given windows, their frames and a margin, as WxH+X+Y to $QV_CROP.
qv_crop() {
  local x0=100000 y0=100000 x1=0 y1=0 win x y w h l r t b
  for win in "$@"; do
    read -r x y w h < <(qv_geo "$win")
    read -r l r t b < <(xprop -id "$win" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    ((x - ${l:-0} < x0)) && x0=$((x - ${l:-0}))
    ((y - ${t:-0} < y0)) && y0=$((y - ${t:-0}))
    ((x + w + ${r:-0} > x1)) && x1=$((x + w + ${r:-0}))
    ((y + h + ${b:-0} > y1)) && y1=$((y + h + ${b:-0}))
  done
  x0=$((x0 > 8 ? x0 - 8 : 0)) y0=$((y0 > 8 ? y0 - 8 : 0))
  echo "$((x1 + 8 - x0))x$((y1 + 8 - y0))+$x0+$y0" >"$QV_CROP"
}

# qv_status PERIOD RUNNING_ID SCORE: the saved state of today's game, the period running; a running task
# goes on with the minutes of its estimate.
qv_status() {
  printf '"1.0",#%s#,%s,#TRUE#,25,#TRUE#,#FALSE#,20,%s,0,%s\r\n' "$(date +%Y-%m-%d)" "$1" "$2" "$3"
}

# qv_projects (ID TITLE BODY)...: a projects file.
qv_projects() {
  printf '<root>\r\n<project>\r\n<id>0</id><date/><title/><body/><status/>\r\n</project>\r\n'
  while [ $# -ge 3 ]; do
    printf '<project>\r\n<id>%s</id><date>%s</date><title>%s</title><body>%s</body><status/>\r\n</project>\r\n' \
      "$1" "$(date +%Y-%m-%d)" "$2" "$3"
    shift 3
  done
  printf '</root>\r\n'
}
