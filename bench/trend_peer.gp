# Peer of the trend benchmark, gnuplot: 800x600 trend chart, 4 curves x 3600 points, v = (c*7 + t*3) mod 100,
# grid, time axis labels (UTC), computed in gnuplot itself via the '+' pseudo-file.
# Usage: gnuplot -e "term='pngcairo'; out='trend'; n=1" trend_peer.gp
#   term: 'pngcairo' (cairo, truecolor RGB PNG) or 'png' (libgd, 8-bit palette PNG)
#   writes out.png (n=1), or out_1.png .. out_n.png (n>1) printing each image's wall ms to stderr
#   (gnuplot's time(0.0) clock; the file is closed inside the timed region)
if (!exists("term")) term = 'pngcairo'
if (!exists("out")) out = 'trend'
if (!exists("n")) n = 1
T0 = 1700000000
if (term eq 'pngcairo') { set terminal pngcairo size 800,600 font "DejaVu Sans,9" } \
else { set terminal png size 800,600 font "DejaVu Sans,9" }
set xdata time
set timefmt "%s"
set format x "%H:%M"
set xrange [T0:T0+3599]
set yrange [0:100]
set samples 3600
set grid
set xlabel "time (UTC)"
set ylabel "value"
set title "Trend"
set key outside right top
times = ''
do for [img=1:n] {
  t0 = time(0.0)
  set output (n == 1 ? out.'.png' : sprintf('%s_%d.png', out, img))
  plot for [c=0:3] '+' using ($1):(int(c*7 + ($1 - T0)*3) % 100) with lines lw 1 title sprintf("CH%d", c)
  unset output
  times = times.sprintf('%.3f ', (time(0.0) - t0) * 1000)
}
if (n > 1) print times
