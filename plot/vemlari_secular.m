function vemlari_secular(caller, wave)
%VEMLARI_SECULAR  Secular function of a check run against phase velocity.
%   VEMLARI_SECULAR(CALLER, WAVE) with WAVE 'l' (Love) or 'r' (Rayleigh) reads
%   sc<WAVE>c_dat, sc<WAVE>r_dat, sc<WAVE>i_dat, om_dat, md<WAVE>_dat and
%   phs<WAVE>1_dat and saves CALLER.png.
name = vemlari_wave_name(wave);
c = vemlari_read_column(['sc' wave 'c_dat'], caller);
re = vemlari_read_column(['sc' wave 'r_dat'], caller);
im = vemlari_read_column(['sc' wave 'i_dat'], caller);
om = vemlari_read_column('om_dat', caller);
counts = vemlari_read_column(['md' wave '_dat'], caller);
phs = vemlari_read_column(['phs' wave '1_dat'], caller);
if numel(re) ~= numel(c) || numel(im) ~= numel(c)
  error('vemlari:badFile', '%s: the three sc%s*_dat files differ in length', caller, wave);
end
if isempty(c) || isempty(om)
  error('vemlari:badFile', '%s: sc%sc_dat holds no trace', caller, wave);
end
% The trace belongs to the last (in a check run the only) frequency.
found = vemlari_mode_table(counts, phs, caller, ['phs' wave '1_dat']);
found = found(end, :);
found = found(~isnan(found));
modes = 0:numel(found) - 1;
f = om(end) / (2 * pi);
a = hypot(re, im);
fig = vemlari_figure(caller);

subplot(2, 1, 1);
semilogy(c, max(a, realmin), 'b-', 'LineWidth', 1.2);
hold on;
at = interp1(c, a, found);
h = semilogy(found, max(at, realmin), 'ro', 'MarkerSize', 8, 'LineWidth', 1.5);
for k = 1:numel(found)
  text(found(k), max(at(k), realmin), sprintf('  %d', modes(k)), 'Color', 'r', ...
       'VerticalAlignment', 'top');
end
hold off;
grid on;
xlim([c(1) c(end)]);
xlabel('phase velocity (m/s)');
ylabel(sprintf('|F_%s| (dimensionless)', upper(wave)));
title(sprintf('%s-wave secular function at %.4f Hz: modulus', name, f));
legend({sprintf('|F_%s|', upper(wave)), 'roots, mode number'}, ...
       'Location', 'eastoutside');

subplot(2, 1, 2);
plot(c, re, 'b-', c, im, 'm-', 'LineWidth', 1.2);
hold on;
plot([c(1) c(end)], [0 0], 'k:');
plot(found, zeros(size(found)), 'ro', 'MarkerSize', 8, 'LineWidth', 1.5);
hold off;
grid on;
xlim([c(1) c(end)]);
xlabel('phase velocity (m/s)');
ylabel(sprintf('F_%s (dimensionless)', upper(wave)));
title(sprintf('%s-wave secular function at %.4f Hz: real and imaginary parts', name, f));
legend({sprintf('Re F_%s', upper(wave)), sprintf('Im F_%s', upper(wave)), 'zero', 'roots'}, ...
       'Location', 'eastoutside');
if isempty(found)
  delete(h);
end
vemlari_save(fig, caller);
end
