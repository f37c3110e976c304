function vemlari_eigen(caller, wave, files, parts, what)
%VEMLARI_EIGEN  Eigenfunctions of a check run against depth, one panel per mode.
%   VEMLARI_EIGEN(CALLER, WAVE, FILES, PARTS, WHAT) reads the eigenfunction
%   files FILES (cell array; one component each, PARTS names them), the depth
%   grid vzn_dat, om_dat, md<WAVE>_dat and phs<WAVE>1_dat, and saves
%   CALLER.png. WHAT is 'displacement' (drawn as written: unit surface value)
%   or 'stress' (drawn divided by the mode's largest stress magnitude).
name = vemlari_wave_name(wave);
raw = cell(size(files));
for k = 1:numel(files)
  raw{k} = vemlari_read_column(files{k}, caller);
end
zgrid = vemlari_read_column('vzn_dat', caller);
om = vemlari_read_column('om_dat', caller);
counts = vemlari_read_column(['md' wave '_dat'], caller);
phs = vemlari_read_column(['phs' wave '1_dat'], caller);
if numel(zgrid) < 3 || numel(zgrid) < 3 + zgrid(3)
  error('vemlari:badFile', '%s: vzn_dat is incomplete', caller);
end
dep = zgrid(1);
nz = round(zgrid(2)) + 1;
nl = round(zgrid(3));
thk = zgrid(4:3 + nl);
if isempty(om)
  error('vemlari:badFile', '%s: om_dat holds no frequency', caller);
end
c = vemlari_mode_table(counts, phs, caller, ['phs' wave '1_dat']);
c = c(end, :);
nm = numel(raw{1}) / nz;
for k = 1:numel(raw)
  if numel(raw{k}) ~= numel(raw{1}) || nm ~= round(nm)
    error('vemlari:badFile', '%s: %s does not hold whole modes of %d depth points', caller, files{k}, nz);
  end
end
if nm == 0
  error('vemlari:badFile', '%s: %s holds no %s mode', caller, files{1}, name);
end
z = (dep / (nz - 1)) * (0:nz - 1)' / 1000;
interfaces = cumsum(thk(1:nl - 1)) / 1000;
interfaces = interfaces(interfaces <= z(end));
if strcmp(what, 'stress')
  xtext = 'stress / largest |stress| of the mode';
elseif wave == 'l'
  xtext = 'displacement (surface value 1)';
else
  xtext = 'displacement (vertical surface value 1)';
end
styles = {'b-', 'r--'};
ncol = min(nm, 4);
nrow = ceil(nm / ncol);
fig = vemlari_figure(caller);
for m = 1:nm
  subplot(nrow, ncol, m);
  v = zeros(nz, numel(raw));
  for k = 1:numel(raw)
    v(:, k) = raw{k}((m - 1) * nz + 1:m * nz);
  end
  if strcmp(what, 'stress') && max(abs(v(:))) > 0
    v = v / max(abs(v(:)));
  end
  hold on;
  for k = 1:numel(raw)
    plot(v(:, k), z, styles{k}, 'LineWidth', 1.3);
  end
  lim = max([abs(v(:)); 1e-3]) * 1.1 * [-1 1];
  for d = interfaces(:)'
    plot(lim, [d d], 'k:');
  end
  hold off;
  set(gca, 'YDir', 'reverse');
  xlim(lim);
  ylim([0 max(z(end), eps)]);
  box on;
  xlabel(xtext);
  ylabel('depth (km)');
  label = sprintf('mode %d', m - 1);
  if m <= numel(c) && ~isnan(c(m))
    label = sprintf('mode %d, c = %.1f m/s', m - 1, c(m));
  end
  if m == 1
    legend([parts, {'layer interface'}], 'Location', 'southeast');
  end
  title(label);
  % Room for the heading above the top row.
  pos = get(gca, 'Position');
  set(gca, 'Position', [pos(1), 0.92 * pos(2), pos(3), 0.92 * pos(4)]);
end
annotation('textbox', [0 0.955 1 0.04], 'EdgeColor', 'none', 'FontWeight', 'bold', ...
           'HorizontalAlignment', 'center', 'FontSize', 12, ...
           'String', sprintf('%s-wave eigen %s at %.4f Hz', name, what, om(end) / (2 * pi)));
vemlari_save(fig, caller);
end
