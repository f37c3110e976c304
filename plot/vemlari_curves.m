function vemlari_curves(caller, wave)
%VEMLARI_CURVES  Phase and group velocity against frequency, every mode.
%   VEMLARI_CURVES(CALLER, WAVE) with WAVE 'l' (Love) or 'r' (Rayleigh) reads
%   om_dat, md<WAVE>_dat, phs<WAVE>1_dat and grp<WAVE>_dat and saves CALLER.png.
name = vemlari_wave_name(wave);
om = vemlari_read_column('om_dat', caller);
counts = vemlari_read_column(['md' wave '_dat'], caller);
phs = vemlari_read_column(['phs' wave '1_dat'], caller);
grp = vemlari_read_column(['grp' wave '_dat'], caller);
nf = numel(om);
if nf == 0
  error('vemlari:badFile', '%s: om_dat holds no frequency', caller);
end
if numel(counts) ~= nf
  error('vemlari:badFile', '%s: md%s_dat has %d lines, om_dat %d', caller, wave, numel(counts), nf);
end
if mod(numel(grp), nf) ~= 0
  error('vemlari:badFile', '%s: grp%s_dat does not hold whole blocks of %d frequencies', caller, wave, nf);
end
c = vemlari_mode_table(counts, phs, caller, ['phs' wave '1_dat']);
u = reshape(grp, nf, numel(grp) / nf);
% A missing mode is written as velocity 0.
c(c <= 0) = NaN;
u(u <= 0) = NaN;
f = om / (2 * pi);
nm = max(size(c, 2), size(u, 2));
colours = lines(max(nm, 1));
fig = vemlari_figure(caller);
panels = {c, u};
quantity = {'phase velocity', 'group velocity'};
for p = 1:2
  subplot(2, 1, p);
  hold on;
  v = panels{p};
  shown = [];
  for m = 1:size(v, 2)
    if any(~isnan(v(:, m)))
      plot(f, v(:, m), '.-', 'Color', colours(m, :), 'LineWidth', 1.2, 'MarkerSize', 10);
      shown(end + 1) = m - 1; %#ok<AGROW>
    end
  end
  hold off;
  box on;
  grid on;
  xlabel('frequency (Hz)');
  ylabel([quantity{p} ' (m/s)']);
  title(sprintf('%s waves: %s of every mode', name, quantity{p}));
  if isempty(shown)
    text(0.5, 0.5, sprintf('no %s mode found', name), 'Units', 'normalized', ...
         'HorizontalAlignment', 'center');
  else
    legend(vemlari_mode_labels(shown), 'Location', 'eastoutside');
  end
end
vemlari_save(fig, caller);
end
