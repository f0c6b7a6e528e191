# The demo's live TV channel as a live HLS playlist (no end tag): a window of three
# two-second segments that moves on with the clock every two seconds, cycling
# through the six pre-made segments in /media/live/. A wrap to the first segment
# is marked as a discontinuity, since its time stamps start again. Nothing runs
# between requests: the playlist is worked out from the time of each request.
# Run by lighttpd's CGI module with /bin/sh (scripts/demo-web).
count=6
window=3
now=$(date +%s)
first=$((now / 2))
if [ "$first" -gt 0 ]; then
    wraps=$(((first - 1) / count))
else
    wraps=0
fi
printf 'Content-Type: application/vnd.apple.mpegurl\r\n'
printf 'Cache-Control: no-cache\r\n\r\n'
printf '#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n'
printf '#EXT-X-MEDIA-SEQUENCE:%d\n#EXT-X-DISCONTINUITY-SEQUENCE:%d\n' "$first" "$wraps"
i=0
while [ "$i" -lt "$window" ]; do
    seq=$((first + i))
    segment=$((seq % count))
    if [ "$segment" -eq 0 ]; then
        printf '#EXT-X-DISCONTINUITY\n'
    fi
    printf '#EXTINF:2.000,\n/media/live/seg%d.ts\n' "$segment"
    i=$((i + 1))
done
